#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>

#include <QAction>
#include "main_ids.h"
#include "main_menus.h"
#include "overview_commands.h"
#include "pair_overview_dlg.h"
#include "pair_overview_model.h"
#include "pair_viewer.h"
#include "run_state.h"
#include "trash.h"
#include "viewer_test_kit.h"

class PairOverviewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ViewerFixture> m_fx;

    static PairOverviewDlg* overview(CMainDlg& dlg) {
        return FindControl<PairOverviewDlg>(&dlg, PairOverviewId::Window);
    }

    // The overview opened from the View menu, every row read.
    static PairOverviewDlg* openOverview(CMainDlg& dlg) {
        dlg.menus().action(MainId::MenuPairOverview)->trigger();
        PairOverviewDlg* view = overview(dlg);
        if (view == nullptr ||
            !QTest::qWaitFor([view] { return view->model()->allLoaded(); }, 20000)) {
            return nullptr;
        }
        return view;
    }

  private slots:
    void init() {
        m_fx = std::make_unique<ViewerFixture>();
        QVERIFY(QString::fromStdString(HomeTrashFolder()).contains("/test-home/"));
    }
    void cleanup() { m_fx.reset(); }

    void predictedActionsAreWhatTheRunDoes() {
        // Higher resolution goes; equal ones stay; p1 is gone by its second pair.
        const QString p1 = m_fx->image("p1.jpg", 100, 80);
        const QString p2 = m_fx->image("p2.jpg", 60, 40);
        const QString p3 = m_fx->image("p3.jpg", 50, 40);
        const QString p4 = m_fx->image("p4.jpg", 90, 60);
        const QString p5 = m_fx->image("p5.jpg", 64, 40);
        const QString p6 = m_fx->image("p6.jpg", 64, 40);
        const QString p7 = m_fx->image("p7.jpg", 30, 20);
        m_fx->writeLog({{p1, p2}, {p3, p4}, {p5, p6}, {p1, p7}});
        auto dlg = m_fx->makeDlg();
        ViewerFixture::clickTab(*dlg, kPageView);
        dlg->run().settings().m_nDeleteSequence = {1, 9, 2, 3, 4, 5, 6, 7, 8, 10, 11};

        PairOverviewDlg* view = openOverview(*dlg);
        QVERIFY(view != nullptr);
        QCOMPARE(view->model()->rowCount(), 4);
        QStringList predicted;
        for (int row = 0; row < 4; ++row) {
            predicted << QString::fromStdString(view->model()->prediction(row).action);
        }
        QCOMPARE(predicted, QStringList({"delete left", "delete right", "no delete", "no delete"}));
        QCOMPARE(
            view->model()->data(view->model()->index(0, PairOverviewModel::ColAction)).toString(),
            QString("delete left (Higher resolution)"));
        QCOMPARE(
            view->model()->data(view->model()->index(3, PairOverviewModel::ColAction)).toString(),
            QString("no delete (Image 1 is deleted)"));
        QCOMPARE(view->model()
                     ->data(view->model()->index(1, PairOverviewModel::ColRightSize))
                     .toString(),
                 QString("90 x 60 JPG"));

        m_fx->prompter().answerMessage(PromptAnswer::Yes);
        m_fx->prompter().answerMessage(PromptAnswer::Ok);
        auto* run = control<QPushButton>(view, PairOverviewId::RunDelete);
        QVERIFY(run->isEnabled());
        QTest::mouseClick(run, Qt::LeftButton);
        QCOMPARE(m_fx->prompter().calls().at(0).text,
                 std::string("Run the automatic delete on the 4 listed pairs?\n\n"
                             "2 files will be moved to the trash."));
        // Exactly the files the predictions named are gone.
        const std::vector<std::pair<QString, QString>> sides = {
            {p1, p2}, {p3, p4}, {p5, p6}, {p1, p7}};
        QSet<QString> predictedGone;
        for (int i = 0; i < 4; ++i) {
            if (predicted[i] == "delete left") {
                predictedGone << sides[static_cast<std::size_t>(i)].first;
            } else if (predicted[i] == "delete right") {
                predictedGone << sides[static_cast<std::size_t>(i)].second;
            }
        }
        for (const QString& file : {p1, p2, p3, p4, p5, p6, p7}) {
            QVERIFY2(QFile::exists(file) != predictedGone.contains(file), qPrintable(file));
        }
        QVERIFY(!QFile::exists(p1) && QFile::exists(p7));
        QCOMPARE(m_fx->prompter().messageTexts().back(),
                 std::string("The automatic delete on the listed pairs removed 2 files."));
        QCOMPARE(m_fx->prompter().unexpectedCalls(), 0);
    }

    void filterSortAndOpenAPair() {
        const QString a = m_fx->image("a.jpg", 40, 30);
        const QString b = m_fx->image("b.jpg", 40, 30);
        const QString c = m_fx->image("c.jpg", 40, 30);
        const QString d = m_fx->image("d.jpg", 40, 30);
        // Percentages as the log gives them: all 99.0 from the fixture.
        m_fx->writeLog({{a, b}, {c, d}, {b, c}});
        auto dlg = m_fx->makeDlg();
        ViewerFixture::clickTab(*dlg, kPageView);
        PairOverviewDlg* view = openOverview(*dlg);
        QVERIFY(view != nullptr);
        QTableView* table = control<QTableView>(view, PairOverviewId::Table);
        QCOMPARE(table->model()->rowCount(), 3);
        QCOMPARE(textOf(view, PairOverviewId::Status), QString("3 of 3 pairs listed"));

        // a-b, c-d and b-c are one group of copies.
        QCOMPARE(view->model()->data(view->model()->index(2, PairOverviewModel::ColGroup)).toInt(),
                 1);

        control<QDoubleSpinBox>(view, PairOverviewId::MinPercent)->setValue(99.5);
        QCOMPARE(table->model()->rowCount(), 0);
        QCOMPARE(textOf(view, PairOverviewId::Status), QString("0 of 3 pairs listed"));
        QVERIFY(!control<QPushButton>(view, PairOverviewId::RunDelete)->isEnabled());
        control<QDoubleSpinBox>(view, PairOverviewId::MinPercent)->setValue(99.0);
        QCOMPARE(table->model()->rowCount(), 3);

        table->sortByColumn(PairOverviewModel::ColPair, Qt::DescendingOrder);
        QCOMPARE(table->model()->index(0, PairOverviewModel::ColPair).data().toInt(), 3);

        // Double click on the row of pair 2 shows it on View dups.
        const QModelIndex row = table->model()->index(1, PairOverviewModel::ColLeft);
        QCOMPARE(row.data().toString(), QString("c.jpg"));
        table->scrollTo(row);
        const QPoint at = table->visualRect(row).center();
        QSignalSpy opened(view, &PairOverviewDlg::pairActivated);
        QVERIFY(QTest::qWaitForWindowExposed(view));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.at(0).at(0).toInt(), 1);
        QCOMPARE(textOf(dlg.get(), MainId::ViewTitle), QString("Viewing pair 2 of 3"));
        QCOMPARE(dlg->pairViewer().side(kLeftSide).path, c.toStdString());
    }
};

QTEST_MAIN(PairOverviewTest)
#include "pair_overview_test.moc"
