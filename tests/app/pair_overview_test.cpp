#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>

#include <QAction>
#include <QCheckBox>
#include <QDir>
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

    // Clicks "Run automatic delete on these" and waits for the run's summary.
    std::string runAndWaitForSummary(PairOverviewDlg* view) {
        const std::size_t before = m_fx->prompter().messageTexts().size();
        auto* run = control<QPushButton>(view, PairOverviewId::RunDelete);
        if (!run->isEnabled()) {
            return "run button disabled";
        }
        QTest::mouseClick(run, Qt::LeftButton);
        // The confirmation, then the summary once the run has ended.
        if (!QTest::qWaitFor([&] { return m_fx->prompter().messageTexts().size() >= before + 2; },
                             20000)) {
            return "no summary";
        }
        return m_fx->prompter().messageTexts().back();
    }

    // Four pairs whose criteria ("Larger file size" is not used; "Higher
    // resolution" first) remove one file each: the larger image.
    std::vector<QString> fourDecidedPairs() {
        std::vector<QString> files;
        for (int i = 0; i < 4; ++i) {
            files.push_back(m_fx->image(QString("big%1.jpg").arg(i), 80, 60));
            files.push_back(m_fx->image(QString("small%1.jpg").arg(i), 40, 30));
        }
        m_fx->writeLog({{files[0], files[1]},
                        {files[2], files[3]},
                        {files[4], files[5]},
                        {files[6], files[7]}});
        return files;
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
        QCOMPARE(runAndWaitForSummary(view),
                 std::string("The automatic delete on the listed pairs removed 2 files."));
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
        QCOMPARE(m_fx->prompter().unexpectedCalls(), 0);
    }

    void theRunCanBeStoppedAndGivesTheModeBack_data() {
        QTest::addColumn<bool>("byEscape");
        QTest::newRow("Stop button") << false;
        QTest::newRow("Escape key") << true;
    }

    void theRunCanBeStoppedAndGivesTheModeBack() {
        QFETCH(bool, byEscape);
        const std::vector<QString> files = fourDecidedPairs();
        auto dlg = m_fx->makeDlg();
        ViewerFixture::clickTab(*dlg, kPageView);
        dlg->run().settings().m_nDeleteSequence = {1, 9, 2, 3, 4, 5, 6, 7, 8, 10, 11};
        dlg->run().settings().m_nDeleteMode = DeleteMode::SemiAuto;
        PairOverviewDlg* view = openOverview(*dlg);
        QVERIFY(view != nullptr);
        QCOMPARE(view->model()->predictedRemovals(), 4);

        // Stop is pressed while the first pair is done: the run ends there.
        m_fx->prompter().answerMessage(PromptAnswer::Yes);
        m_fx->prompter().answerMessage(PromptAnswer::Ok);
        auto* run = control<QPushButton>(view, PairOverviewId::RunDelete);
        QTest::mouseClick(run, Qt::LeftButton);
        QPointer<QProgressDialog> progress =
            FindControl<QProgressDialog>(view, PairOverviewId::RunProgress);
        QVERIFY(progress != nullptr);
        QVERIFY(progress->isVisible() && progress->isModal());
        QPushButton* stop = nullptr;
        for (QPushButton* b : progress->findChildren<QPushButton*>()) {
            stop = b->text() == "Stop" ? b : stop;
        }
        QVERIFY(stop != nullptr);
        connect(progress->findChild<QProgressBar*>(), &QProgressBar::valueChanged, stop,
                [stop, progress, byEscape](int value) {
                    if (value != 1) {
                        return;
                    }
                    if (byEscape) {
                        QTest::keyClick(progress, Qt::Key_Escape);
                    } else {
                        QTest::mouseClick(stop, Qt::LeftButton);
                    }
                });
        QVERIFY(
            QTest::qWaitFor([&] { return m_fx->prompter().messageTexts().size() >= 2; }, 20000));
        QCOMPARE(m_fx->prompter().messageTexts().back(),
                 std::string("The automatic delete on the listed pairs was stopped after 1 of "
                             "4 pairs. It removed 1 file."));
        QVERIFY(!QFile::exists(files[0]));
        for (std::size_t i = 1; i < files.size(); ++i) {
            QVERIFY2(QFile::exists(files[i]), qPrintable(files[i]));
        }
        QVERIFY(progress.isNull());
        QVERIFY(dlg->run().settings().m_nDeleteMode == DeleteMode::SemiAuto);
        QCOMPARE(dlg->pairViewer().autoRun().confirmNeeded, 1);
        QCOMPARE(m_fx->prompter().unexpectedCalls(), 0);
    }

    void aFailedMoveEndsTheRunThere() {
        const std::vector<QString> files = fourDecidedPairs();
        QVERIFY(QDir().mkpath(m_fx->path("moved")));
        m_fx->store().writeString("Dups", "MoveTo", "Yes");
        m_fx->store().writeString("Dups", "MoveFolder", m_fx->path("moved").toStdString());
        auto dlg = m_fx->makeDlg();
        ViewerFixture::clickTab(*dlg, kPageView);
        QVERIFY(dlg->run().moves().leftMoves);
        dlg->run().settings().m_nDeleteSequence = {1, 9, 2, 3, 4, 5, 6, 7, 8, 10, 11};
        PairOverviewDlg* view = openOverview(*dlg);
        QVERIFY(view != nullptr);

        // The first move goes; then the folder goes away and the second fails.
        m_fx->prompter().answerMessage(PromptAnswer::Yes);
        m_fx->prompter().answerMessage(PromptAnswer::Ok);
        m_fx->prompter().answerMessage(PromptAnswer::Ok);
        QTest::mouseClick(control<QPushButton>(view, PairOverviewId::RunDelete), Qt::LeftButton);
        auto* progress = FindControl<QProgressDialog>(view, PairOverviewId::RunProgress);
        QVERIFY(progress != nullptr);
        const QString folder = m_fx->path("moved");
        connect(progress->findChild<QProgressBar*>(), &QProgressBar::valueChanged, this,
                [folder](int value) {
                    if (value == 1) {
                        QDir(folder).rename(folder, folder + "-away");
                    }
                });
        QVERIFY(
            QTest::qWaitFor([&] { return m_fx->prompter().messageTexts().size() >= 3; }, 20000));
        QCOMPARE(m_fx->prompter().messageTexts().back(),
                 std::string("The automatic delete on the listed pairs ended at pair 2 of 4, "
                             "where a delete or move failed. It removed 1 file."));
        QVERIFY(QFile::exists(m_fx->path("moved-away/big0.jpg")));
        for (std::size_t i = 1; i < files.size(); ++i) {
            QVERIFY2(QFile::exists(files[i]), qPrintable(files[i]));
        }
        QCOMPARE(m_fx->prompter().unexpectedCalls(), 0);
    }

    void foldingShowsOneRowPerGroupUntilOpened() {
        const QString a = m_fx->image("a.jpg", 40, 30);
        const QString b = m_fx->image("b.jpg", 40, 30);
        const QString c = m_fx->image("c.jpg", 40, 30);
        const QString d = m_fx->image("d.jpg", 40, 30);
        const QString e = m_fx->image("e.jpg", 40, 30);
        // Group 1: a, b, c in three pairs; group 2: d, e.
        m_fx->writeLog({{a, b}, {d, e}, {b, c}, {a, c}});
        auto dlg = m_fx->makeDlg();
        ViewerFixture::clickTab(*dlg, kPageView);
        PairOverviewDlg* view = openOverview(*dlg);
        QVERIFY(view != nullptr);
        QTableView* table = control<QTableView>(view, PairOverviewId::Table);
        const auto pairsShown = [table] {
            QList<int> pairs;
            for (int row = 0; row < table->model()->rowCount(); ++row) {
                pairs << table->model()->index(row, PairOverviewModel::ColPair).data().toInt();
            }
            return pairs;
        };

        control<QCheckBox>(view, PairOverviewId::FoldGroups)->setChecked(true);
        QCOMPARE(pairsShown(), QList<int>({1, 2}));
        const QModelIndex head = table->model()->index(0, PairOverviewModel::ColGroup);
        QCOMPARE(head.data().toString(), QString::fromUtf8("\u25B8 1 (3 files)"));
        QCOMPARE(table->model()->index(1, PairOverviewModel::ColGroup).data().toString(),
                 QString("2"));
        QCOMPARE(head.data(Qt::ToolTipRole).toString(),
                 QString("Group 1: 3 files in 3 listed pairs; click to open"));
        QCOMPARE(textOf(view, PairOverviewId::Status), QString("4 of 4 pairs listed, in 2 rows"));

        // A click on the group opens it, a second closes it; other cells do not.
        QVERIFY(QTest::qWaitForWindowExposed(view));
        table->scrollTo(head);
        QTest::mouseClick(
            table->viewport(), Qt::LeftButton, {},
            table->visualRect(table->model()->index(0, PairOverviewModel::ColLeft)).center());
        QCOMPARE(pairsShown(), QList<int>({1, 2}));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(head).center());
        QCOMPARE(pairsShown(), QList<int>({1, 2, 3, 4}));
        QCOMPARE(table->model()->index(0, PairOverviewModel::ColGroup).data().toString(),
                 QString::fromUtf8("\u25BE 1 (3 files)"));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(head).center());
        QCOMPARE(pairsShown(), QList<int>({1, 2}));

        // Only a group's first row opens it.
        QVERIFY(!view->model()->toggleGroup(2));

        // Folding hides rows from sight, not from the run.
        m_fx->prompter().answerMessage(PromptAnswer::No);
        QTest::mouseClick(control<QPushButton>(view, PairOverviewId::RunDelete), Qt::LeftButton);
        QVERIFY(QString::fromStdString(m_fx->prompter().messageTexts().back())
                    .startsWith("Run the automatic delete on the 4 listed pairs?"));
        control<QCheckBox>(view, PairOverviewId::FoldGroups)->setChecked(false);
        QCOMPARE(pairsShown(), QList<int>({1, 2, 3, 4}));
        QCOMPARE(m_fx->prompter().unexpectedCalls(), 0);
    }

    void rowsAskedForAreReadFirstAndSharp() {
        std::vector<std::pair<QString, QString>> pairs;
        for (int i = 0; i < 30; ++i) {
            pairs.emplace_back(m_fx->image(QString("l%1.jpg").arg(i), 200, 150),
                               m_fx->image(QString("r%1.jpg").arg(i), 40, 30));
        }
        m_fx->writeLog(pairs);
        auto dlg = m_fx->makeDlg();
        ViewerFixture::clickTab(*dlg, kPageView);
        QCOMPARE(dlg->run().matches().pairCount(), 30);
        // As on a screen scaled to 200 %.
        PairOverviewModel model(dlg->run().matches(), {}, 2.0);
        QList<int> readOrder;
        connect(&model, &QAbstractItemModel::dataChanged, this,
                [&readOrder](const QModelIndex& from) {
                    if (from.column() == 0) {
                        readOrder << from.row();
                    }
                });
        model.prioritise(25, 28);
        QVERIFY(QTest::qWaitFor([&] { return model.allLoaded(); }, 20000));
        QCOMPARE(readOrder.size(), 30);
        QVERIFY2(readOrder.first() >= 25 && readOrder.first() <= 28,
                 qPrintable(QString::number(readOrder.first())));
        // Thumbnails are read at the screen's pixels and drawn at their size.
        const auto thumb =
            model.data(model.index(0, PairOverviewModel::ColLeft), Qt::DecorationRole)
                .value<QImage>();
        QCOMPARE(thumb.devicePixelRatio(), 2.0);
        QVERIFY2(thumb.width() > PairOverviewModel::kThumbWidth &&
                     thumb.deviceIndependentSize().width() <= PairOverviewModel::kThumbWidth,
                 qPrintable(QString::number(thumb.width())));
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
