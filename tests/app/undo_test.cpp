#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTest>

#include "image_pane.h"
#include "main_ids.h"
#include "pair_viewer.h"
#include "run_state.h"
#include "trash.h"
#include "viewer_test_kit.h"

namespace {

QByteArray md5Of(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Md5).toHex();
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

}  // namespace

class UndoTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ViewerFixture> m_fx;
    QString m_a, m_b, m_c;

    // a pairs with b and with c; the first pair is shown.
    std::unique_ptr<CMainDlg> windowOnFirstPair() {
        m_a = m_fx->image("a.jpg", 60, 40);
        m_b = m_fx->image("b.jpg", 64, 40);
        m_c = m_fx->image("c.jpg", 50, 40);
        m_fx->writeLog({{m_a, m_b}, {m_a, m_c}});
        auto dlg = m_fx->makeDlg();
        ViewerFixture::clickTab(*dlg, kPageView);
        if (textOf(dlg.get(), MainId::ViewTitle) != "Viewing pair 1 of 2") {
            qFatal("the first pair is not shown");
        }
        return dlg;
    }

    static QString title(CMainDlg& dlg, int side) {
        return textOf(&dlg, side == kLeftSide ? MainId::LeftTitle : MainId::RightTitle);
    }

  private slots:
    void init() {
        m_fx = std::make_unique<ViewerFixture>();
        // The test's own trash, never the user's.
        QVERIFY(QString::fromStdString(HomeTrashFolder()).contains("/test-home/"));
    }
    void cleanup() { m_fx.reset(); }

    void undoPutsBackEachTrashAndMoveInTurn() {
        auto dlg = windowOnFirstPair();
        const QByteArray a = md5Of(m_a);
        const QByteArray b = md5Of(m_b);
        const QByteArray c = md5Of(m_c);
        QDir().mkpath(m_fx->path("moved"));
        dlg->run().settings().m_strMoveFolder2 = m_fx->path("moved").toStdString();

        dlg->OnCommand(MainId::MenuRightMove);  // b into the move folder
        QVERIFY(!QFile::exists(m_b));
        QCOMPARE(textOf(dlg.get(), MainId::ViewTitle), QString("Viewing pair 2 of 2"));
        dlg->OnCommand(MainId::MenuLeftDelete);  // a to the trash: both pairs lose it
        QVERIFY(!QFile::exists(m_a));
        QCOMPARE(dlg->run().matches().m_leftPaths,
                 (std::vector<std::string>{"Deleted", "Deleted"}));

        // Ctrl+Z on View dups: the latest first.
        QTest::keyClick(dlg.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(md5Of(m_a), a);
        QCOMPARE(dlg->run().matches().m_leftPaths,
                 (std::vector<std::string>{m_a.toStdString(), m_a.toStdString()}));
        QVERIFY(!dlg->run().matches().m_logView.empty());
        QVERIFY(std::find(
                    dlg->run().matches().m_logView.begin(), dlg->run().matches().m_logView.end(),
                    "Image 1 path: " + m_a.toStdString()) != dlg->run().matches().m_logView.end());
        QCOMPARE(title(*dlg, kLeftSide), QString("a"));
        QVERIFY(!control<ImagePane>(dlg.get(), MainId::LeftPane)->crossed());

        // Then the move, shown on its own pair again.
        dlg->OnCommand(MainId::MenuUndoDelete);
        QCOMPARE(md5Of(m_b), b);
        QVERIFY(QDir(m_fx->path("moved")).isEmpty());
        QCOMPARE(textOf(dlg.get(), MainId::ViewTitle), QString("Viewing pair 1 of 2"));
        QCOMPARE(title(*dlg, kRightSide), QString("b"));
        QVERIFY(!control<ImagePane>(dlg.get(), MainId::RightPane)->crossed());
        QCOMPARE(md5Of(m_c), c);

        m_fx->prompter().answerMessage(PromptAnswer::Ok);
        dlg->OnCommand(MainId::MenuUndoDelete);
        QCOMPARE(m_fx->prompter().messageTexts().back(),
                 std::string("There is no delete or move to undo."));
        QCOMPARE(m_fx->prompter().unexpectedCalls(), 0);
    }

    void aTakenPlaceIsRefusedAndTheStepKept() {
        auto dlg = windowOnFirstPair();
        const QByteArray a = md5Of(m_a);
        dlg->OnCommand(MainId::MenuLeftDelete);
        QVERIFY(!QFile::exists(m_a));
        QVERIFY(writeBytes(m_a, "a file that took the place"));

        m_fx->prompter().answerMessage(PromptAnswer::Ok);
        dlg->OnCommand(MainId::MenuUndoDelete);
        QCOMPARE(m_fx->prompter().messageTexts().back(),
                 "Unable to restore " + m_a.toStdString() + ": another file is there now");
        QFile newer(m_a);
        QVERIFY(newer.open(QIODevice::ReadOnly));
        QCOMPARE(newer.readAll(), QByteArray("a file that took the place"));
        newer.close();
        QCOMPARE(dlg->run().matches().m_leftPaths[0], std::string("Deleted"));

        // Once the place is free the same step goes back.
        QVERIFY(QFile::remove(m_a));
        dlg->OnCommand(MainId::MenuUndoDelete);
        QCOMPARE(md5Of(m_a), a);
        QCOMPARE(dlg->run().matches().m_leftPaths[0], m_a.toStdString());
        QCOMPARE(m_fx->prompter().unexpectedCalls(), 0);
    }

    void aPermanentDeleteIsNotUndone() {
        auto dlg = windowOnFirstPair();
        dlg->run().settings().m_bPermanentDelete = 1;
        dlg->OnCommand(MainId::MenuRightDelete);
        QVERIFY(!QFile::exists(m_b));
        m_fx->prompter().answerMessage(PromptAnswer::Ok);
        dlg->OnCommand(MainId::MenuUndoDelete);
        QCOMPARE(m_fx->prompter().messageTexts().back(),
                 std::string("There is no delete or move to undo."));
        QCOMPARE(dlg->run().matches().m_rightPaths[0], std::string("Deleted"));
    }
};

QTEST_MAIN(UndoTest)
#include "undo_test.moc"
