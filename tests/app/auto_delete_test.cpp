#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <array>
#include <memory>

#include "auto_delete_runner.h"
#include "delete_messages.h"
#include "main_ids.h"
#include "main_menus.h"
#include "pair_viewer.h"
#include "viewer_test_kit.h"
#include "window_test_kit.h"

namespace {

using Sequence = std::array<int, kDeleteSequenceLength>;
constexpr Sequence kHigherResolutionFirst{1, 9, 2, 3, 4, 5, 6, 7, 8, 10, 11};
constexpr Sequence kNoDeleteFirst{9, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11};
constexpr Sequence kLargerFileFirst{10, 9, 1, 2, 3, 4, 5, 6, 7, 8, 11};

}  // namespace

class AutoDeleteTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ViewerFixture> m_fx;

    // Opens "View dups" on the log with the given delete setup, the window active.
    std::unique_ptr<CMainDlg> openViewer(DeleteMode mode, const Sequence& sequence) {
        auto dlg = m_fx->makeDlg();
        dlg->run().settings().m_nDeleteMode = mode;
        dlg->run().settings().m_nDeleteSequence = sequence;
        dlg->run().settings().m_nAutoDelay = 100;
        dlg->activateWindow();
        if (!QTest::qWaitForWindowActive(dlg.get())) {
            qFatal("the window did not become active");
        }
        ViewerFixture::clickTab(*dlg, 3);
        return dlg;
    }

    static QWidget* button(CMainDlg& dlg, int id) { return control<QPushButton>(&dlg, id); }
    static void pressEnter() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }

    // Pairs of images of equal size, each image its own file.
    std::vector<std::pair<QString, QString>> equalPairs(int count) {
        std::vector<std::pair<QString, QString>> pairs;
        for (int i = 0; i < count; ++i) {
            pairs.emplace_back(m_fx->image(QStringLiteral("a%1.jpg").arg(i), 40, 30),
                               m_fx->image(QStringLiteral("b%1.jpg").arg(i), 40, 30));
        }
        return pairs;
    }

    // Pairs whose image 1 is the larger file.
    std::vector<std::pair<QString, QString>> largerLeftPairs(int count) {
        std::vector<std::pair<QString, QString>> pairs;
        for (int i = 0; i < count; ++i) {
            pairs.emplace_back(m_fx->image(QStringLiteral("big%1.jpg").arg(i), 96, 72),
                               m_fx->image(QStringLiteral("small%1.jpg").arg(i), 40, 30));
        }
        return pairs;
    }

  private slots:
    void init() { m_fx = std::make_unique<ViewerFixture>(); }
    void cleanup() {
        QCOMPARE(m_fx->prompter().unexpectedCalls(), 0);
        m_fx.reset();
    }

    void automaticRunDeletesBySequenceToTheLastPairAndSummarises() {
        // The larger image of each pair goes: left in even pairs, right in odd ones.
        std::vector<std::pair<QString, QString>> pairs;
        QStringList larger, smaller;
        for (int i = 0; i < 5; ++i) {
            const QString big = m_fx->image(QStringLiteral("big%1.jpg").arg(i), 48, 36);
            const QString small = m_fx->image(QStringLiteral("small%1.jpg").arg(i), 40, 30);
            pairs.emplace_back(i % 2 == 0 ? big : small, i % 2 == 0 ? small : big);
            larger << big;
            smaller << small;
        }
        m_fx->writeLog(pairs);
        auto dlg = openViewer(DeleteMode::Automatic, kHigherResolutionFirst);
        // Shown, judged, and nothing removed until the user starts the run.
        QCOMPARE(QApplication::focusWidget(), button(*dlg, MainId::LeftDelete));
        QVERIFY(QFile::exists(larger[0]));

        m_fx->prompter().answerMessage(PromptAnswer::Yes);
        m_fx->prompter().answerMessage(PromptAnswer::Ok);
        pressEnter();
        const ScriptedPrompter::Call& confirm = m_fx->prompter().calls().at(0);
        QCOMPARE(confirm.caption, std::string(kConfirmAutoDeleteCaption));
        QCOMPARE(confirm.text, std::string(kConfirmAutoDeleteText));
        QVERIFY(confirm.buttons == PromptButtons::YesNoCancel);

        QTRY_COMPARE_WITH_TIMEOUT(m_fx->prompter().calls().size(), std::size_t(2), 10000);
        const ScriptedPrompter::Call& summary = m_fx->prompter().calls().at(1);
        QCOMPARE(summary.caption, std::string("Deleted images"));
        QCOMPARE(summary.text, std::string("Deleted from image pairs 1 thru 5.\n5 image have been "
                                           "deleted (placed in recycle bin)."));
        for (int i = 0; i < 5; ++i) {
            QVERIFY2(!QFile::exists(larger[i]), qPrintable(larger[i]));
            QVERIFY2(QFile::exists(smaller[i]), qPrintable(smaller[i]));
        }
        QCOMPARE(dlg->pairViewer().autoRun().active, 0);
        QVERIFY(!dlg->pairViewer().autoDelete().stepPending());
        QCOMPARE(textOf(dlg.get(), MainId::ViewTitle), QString("Viewing pair 5 of 5"));
    }

    void semiAutomaticProposesAndTheKeysConfirm() {
        const QString left = m_fx->image("left.jpg", 80, 60);
        const QString right = m_fx->image("right.jpg", 102, 77);
        const QString other = m_fx->image("other.jpg", 50, 40);
        m_fx->writeLog({{left, right}, {other, left}, {other, right}});
        auto dlg = openViewer(DeleteMode::SemiAuto, kHigherResolutionFirst);
        QCOMPARE(textOf(dlg.get(), MainId::PairInfo),
                 QString("Delete criteria:\nHigher resolution\n(1) 80 x 60 JPG\n(2) 102 x 77 JPG"));
        QCOMPARE(QApplication::focusWidget(), button(*dlg, MainId::RightDelete));

        pressEnter();
        QVERIFY(!QFile::exists(right));
        // Pair 3 has lost its right image; pair 2 is shown and judged.
        QCOMPARE(textOf(dlg.get(), MainId::ViewTitle), QString("Viewing pair 2 of 3"));
        QCOMPARE(QApplication::focusWidget(), button(*dlg, MainId::RightDelete));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        QVERIFY(!QFile::exists(left));
        QVERIFY(QFile::exists(other));
        QVERIFY(m_fx->prompter().calls().empty());
        QVERIFY(!dlg->pairViewer().autoDelete().stepPending());
    }

    void confirmNoRemovesOneImageAndLeavesSemiAutomatic() {
        const auto pairs = equalPairs(3);
        m_fx->writeLog(pairs);
        auto dlg = openViewer(DeleteMode::Automatic, kNoDeleteFirst);
        QCOMPARE(QApplication::focusWidget(), button(*dlg, MainId::Next));
        m_fx->prompter().answerMessage(PromptAnswer::Cancel);
        QTest::mouseClick(button(*dlg, MainId::RightDelete), Qt::LeftButton);
        QVERIFY(QFile::exists(pairs[0].second));
        QCOMPARE(dlg->run().settings().m_nDeleteMode, DeleteMode::SemiAuto);

        dlg->OnCommand(MainId::MenuAutomaticDelete);
        m_fx->prompter().answerMessage(PromptAnswer::No);
        QTest::mouseClick(button(*dlg, MainId::RightDelete), Qt::LeftButton);
        QVERIFY(!QFile::exists(pairs[0].second));
        QCOMPARE(dlg->run().settings().m_nDeleteMode, DeleteMode::SemiAuto);
        QCOMPARE(dlg->pairViewer().autoRun().active, 0);
        QVERIFY(!dlg->pairViewer().autoDelete().stepPending());
        QCOMPARE(m_fx->prompter().calls().size(), std::size_t(2));
    }

    void noDeleteWalksOnOrPausesUntilNext() {
        const auto pairs = equalPairs(4);
        m_fx->writeLog(pairs);
        auto dlg = openViewer(DeleteMode::Automatic, kNoDeleteFirst);
        m_fx->prompter().answerMessage(PromptAnswer::Yes);
        m_fx->prompter().answerMessage(PromptAnswer::Ok);
        QTest::mouseClick(button(*dlg, MainId::LeftDelete), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(m_fx->prompter().calls().size(), std::size_t(2), 10000);
        QCOMPARE(m_fx->prompter().calls()[1].text,
                 std::string("Deleted from image pairs 1 thru 4.\n1 image have been deleted "
                             "(placed in recycle bin)."));
        QCOMPARE(textOf(dlg.get(), MainId::ViewTitle), QString("Viewing pair 2 of 4"));

        // Paused at "No delete", minimised: the caption says where it waits.
        dlg->run().settings().m_bPauseOnNoDelete = 1;
        dlg->showMinimized();
        QVERIFY(dlg->isMinimized());
        m_fx->prompter().answerMessage(PromptAnswer::Yes);
        dlg->OnCommand(MainId::LeftDelete);
        QCOMPARE(textOf(dlg.get(), MainId::ViewTitle), QString("Viewing pair 3 of 4"));
        QTRY_COMPARE_WITH_TIMEOUT(dlg->windowTitle(), QString("50% Paused"), 5000);
        QCOMPARE(dlg->pairViewer().autoRun().active, 1);
        QVERIFY(!dlg->pairViewer().autoDelete().stepPending());
        // Next goes on; the next step pauses again.
        dlg->OnCommand(MainId::Next);
        QTRY_COMPARE_WITH_TIMEOUT(dlg->windowTitle(), QString("75% Paused"), 5000);

        // Choosing manual delete ends the run.
        dlg->menus().action(MainId::MenuManualDelete)->trigger();
        QCOMPARE(dlg->pairViewer().autoRun().active, 0);
        dlg->showNormal();
        QCOMPARE(dlg->windowTitle(), QString("Twinly"));
        QVERIFY(QFile::exists(pairs[2].first) && QFile::exists(pairs[3].first));
    }

    void pauseKeyEndsTheRunWithTheSummary() {
        const auto pairs = equalPairs(3);
        m_fx->writeLog(pairs);
        auto dlg = openViewer(DeleteMode::Automatic, Sequence{7, 1, 2, 3, 4, 5, 6, 9, 8, 10, 11});
        QCOMPARE(QApplication::focusWidget(), button(*dlg, MainId::LeftDelete));
        m_fx->prompter().answerMessage(PromptAnswer::Yes);
        m_fx->prompter().answerMessage(PromptAnswer::Ok);
        QTest::keyPress(QApplication::focusWidget(), Qt::Key_P);
        pressEnter();
        QTest::keyRelease(QApplication::focusWidget(), Qt::Key_P);
        QCOMPARE(m_fx->prompter().calls().size(), std::size_t(2));
        QCOMPARE(m_fx->prompter().calls()[1].text,
                 std::string("Deleted from image pairs 1 thru 2.\n1 image have been deleted "
                             "(placed in recycle bin)."));
        QVERIFY(!QFile::exists(pairs[0].first));
        QVERIFY(QFile::exists(pairs[1].first));
        QCOMPARE(dlg->pairViewer().autoRun().active, 0);
        QVERIFY(!dlg->pairViewer().autoDelete().stepPending());
    }

    // A pair whose twin is gone is never judged: neither when the twin was
    // gone before the pair was shown, nor when it went while the pick waited
    // for Enter or the timer. The survivor stays byte for byte.
    void survivorOfAGoneTwinIsKept_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("semi-automatic") << static_cast<int>(DeleteMode::SemiAuto);
        QTest::newRow("automatic") << static_cast<int>(DeleteMode::Automatic);
    }
    void survivorOfAGoneTwinIsKept() {
        QFETCH(int, mode);
        const bool automatic = static_cast<DeleteMode>(mode) == DeleteMode::Automatic;
        const auto pairs = largerLeftPairs(3);
        m_fx->writeLog(pairs);
        QVERIFY(QFile::remove(pairs[1].second));
        const QByteArray big1 = ViewerFixture::md5(pairs[1].first);
        const QByteArray big2 = ViewerFixture::md5(pairs[2].first);
        auto dlg = openViewer(static_cast<DeleteMode>(mode), kLargerFileFirst);
        // The timer never fires here: each Enter is the step's own press.
        dlg->run().settings().m_nAutoDelay = 24 * 3600 * 1000;
        QCOMPARE(QApplication::focusWidget(), button(*dlg, MainId::LeftDelete));
        if (automatic) {
            m_fx->prompter().answerMessage(PromptAnswer::Yes);
        }
        pressEnter();
        QVERIFY(!QFile::exists(pairs[0].first));

        QCOMPARE(textOf(dlg.get(), MainId::ViewTitle), QString("Viewing pair 2 of 3"));
        QCOMPARE(textOf(dlg.get(), MainId::PairInfo),
                 QString("Delete criteria:\nNo delete\nImage 2 is not on disk"));
        QCOMPARE(QApplication::focusWidget(), button(*dlg, MainId::Next));
        pressEnter();

        QCOMPARE(textOf(dlg.get(), MainId::ViewTitle), QString("Viewing pair 3 of 3"));
        QCOMPARE(QApplication::focusWidget(), button(*dlg, MainId::LeftDelete));
        QVERIFY(QFile::remove(pairs[2].second));
        if (automatic) {
            m_fx->prompter().answerMessage(PromptAnswer::Ok);
        }
        pressEnter();
        QCOMPARE(ViewerFixture::md5(pairs[1].first), big1);
        QCOMPARE(ViewerFixture::md5(pairs[2].first), big2);
        QCOMPARE(dlg->run().matches().m_leftPaths[2], pairs[2].first.toStdString());
        if (automatic) {
            // Walked on as for "No delete": past the last pair, the run ends.
            QCOMPARE(dlg->pairViewer().autoRun().active, 0);
            QCOMPARE(m_fx->prompter().calls().back().text,
                     std::string("Deleted from image pairs 1 thru 3.\n1 image have been deleted "
                                 "(placed in recycle bin)."));
        } else {
            QCOMPARE(textOf(dlg.get(), MainId::ViewTitle), QString("Viewing pair 3 of 3"));
            QCOMPARE(textOf(dlg.get(), MainId::PairInfo),
                     QString("No delete\nImage 2 is no longer on disk"));
            QCOMPARE(textOf(dlg.get(), MainId::RightTitle), "Not found: " + pairs[2].second);
            QCOMPARE(QApplication::focusWidget(), button(*dlg, MainId::Next));
        }
    }

    // Next past the last pair lands on a pair already resolved: its survivor
    // is never proposed.
    void resolvedLastPairProposesNothing() {
        const auto pairs = largerLeftPairs(2);
        m_fx->writeLog({pairs[0], {"Deleted " + pairs[1].first, pairs[1].second}});
        const QByteArray survivor = ViewerFixture::md5(pairs[1].second);
        auto dlg = openViewer(DeleteMode::SemiAuto, kLargerFileFirst);
        pressEnter();
        QVERIFY(!QFile::exists(pairs[0].first));
        QCOMPARE(textOf(dlg.get(), MainId::ViewTitle), QString("Viewing pair 2 of 2"));
        QCOMPARE(textOf(dlg.get(), MainId::PairInfo),
                 QString("Delete criteria:\nNo delete\nImage 1 is deleted"));
        QCOMPARE(QApplication::focusWidget(), button(*dlg, MainId::Next));
        dlg->OnCommand(MainId::RightDelete);
        QCOMPARE(ViewerFixture::md5(pairs[1].second), survivor);
    }

    void movingTheFocusEndsTheRunWithoutSummary() {
        const auto pairs = equalPairs(3);
        m_fx->writeLog(pairs);
        auto dlg = openViewer(DeleteMode::Automatic, Sequence{8, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11});
        m_fx->prompter().answerMessage(PromptAnswer::Yes);
        pressEnter();
        QVERIFY(dlg->pairViewer().autoDelete().stepPending());
        button(*dlg, MainId::Back)->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(!dlg->pairViewer().autoDelete().stepPending(), 5000);
        QCOMPARE(dlg->pairViewer().autoRun().active, 0);
        QVERIFY(!QFile::exists(pairs[0].second));
        QVERIFY(QFile::exists(pairs[1].second));
        QCOMPARE(m_fx->prompter().calls().size(), std::size_t(1));
    }
};

QTEST_MAIN(AutoDeleteTest)
#include "auto_delete_test.moc"
