#include <QApplication>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <thread>

#include "about_dlg.h"
#include "broken_key_store.h"
#include "control_ids.h"
#include "datafile_io.h"
#include "desktop.h"
#include "file_ops.h"
#include "find_page.h"
#include "job_controller.h"
#include "main_ids.h"
#include "main_menus.h"
#include "qsettings_store.h"
#include "save_datafile_dlg.h"
#include "scripted_prompter.h"
#include "up_down_control.h"
#include "viewer_panel.h"
#include "window_test_kit.h"

namespace {

QByteArray md5Of(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(in.readAll(), QCryptographicHash::Md5)
               : QByteArray();
}

// Fills a slot with `count` empty records of made-up paths.
void giveRecords(RunState& run, int slot, int count) {
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        paths.push_back("/pictures/" + std::to_string(i) + ".jpg");
    }
    DatafileSlot data;
    data.setEntries(std::move(paths), std::vector<ImageRecord>(static_cast<std::size_t>(count)));
    run.setSlot(slot, std::move(data));
}

class NoFileOps : public FileOps {
  public:
    bool moveToTrash(const std::string&) override { return false; }
    bool deletePermanently(const std::string&) override { return false; }
    std::optional<std::string> moveToFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }
};

}  // namespace

class MainDlgTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QSettingsStore> m_store;
    ScriptedPrompter m_prompter;
    NoFileOps m_fileOps;
    RecordingDesktop m_desktop;
    std::unique_ptr<QObject> m_pollers;

    QString path(const QString& name) const { return m_dir->filePath(name); }

    std::unique_ptr<CMainDlg> makeDlg(KeyValueStore* store = nullptr) {
        auto dlg = std::make_unique<CMainDlg>(MainDlgServices{.store = store ? *store : *m_store,
                                                              .prompter = m_prompter,
                                                              .fileOps = m_fileOps,
                                                              .desktop = m_desktop,
                                                              .dataFolder = path("data"),
                                                              .seedLogFile = ":/twinly/Dups.log"});
        return dlg;
    }

    // A store that has been saved once before (no first-start defaults).
    void markSaved() { m_store->writeString("Dups", "First", "Second"); }

    static void clickTab(CMainDlg& dlg, int page) {
        QTabBar* bar = control<QTabWidget>(&dlg, MainId::Tabs)->findChild<QTabBar*>();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
    }

    static int clientHeight(CMainDlg& dlg) {
        return control<QTabWidget>(&dlg, MainId::Tabs)->parentWidget()->height();
    }

    static bool shown(CMainDlg& dlg, int id) { return control<QWidget>(&dlg, id)->isVisible(); }

  private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_store = std::make_unique<QSettingsStore>(path("settings.ini"));
        m_prompter.clear();
        m_desktop.requests.clear();
        m_pollers = std::make_unique<QObject>();
    }

    void cleanup() { m_pollers.reset(); }

    void firstStartOpensCompactOnMethod() {
        auto dlg = makeDlg();
        dlg->show();
        QCOMPARE(dlg->windowTitle(), QString("Twinly"));
        QCOMPARE(dlg->currentPage(), 0);
        QCOMPARE(dlg->run().compareMode(), CompareMode::WithinPrimary);
        QVERIFY(control<QRadioButton>(dlg.get(), MainId::ModeWithinPrimary)->isChecked());
        QCOMPARE(clientHeight(*dlg), 54 * 640 / 100);
        QCOMPARE(control<QLineEdit>(dlg.get(), MainId::LowerBound)->text(), QString("98.0"));
        QCOMPARE(control<UpDownControl>(dlg.get(), MainId::LowerSpin)->position(), 98);
        QCOMPARE(control<QLineEdit>(dlg.get(), MainId::UpperBound)->text(), QString("100"));
        QCOMPARE(dlg->findPage().lowerBoundTenths(), 980);
        QCOMPARE(dlg->findPage().upperBoundTenths(), 1000);

        clickTab(*dlg, 2);
        QVERIFY(!control<QPushButton>(dlg.get(), MainId::FindDups)->isEnabled());
        QVERIFY(shown(*dlg, MainId::FindHint));
        QCOMPARE(control<QLabel>(dlg.get(), MainId::FindHint)->text(),
                 QString("'Get data' to enable"));

        // The log folder was created and seeded with the shipped log.
        QFile seeded(path("data/DupLogs/Dups.log"));
        QVERIFY(seeded.open(QIODevice::ReadOnly));
        QFile shipped(":/twinly/Dups.log");
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        QCOMPARE(seeded.readAll(), shipped.readAll());
        QCOMPARE(dlg->run().settings().m_strDupDataPath, path("data/DupData").toStdString());
        QVERIFY(m_prompter.calls().empty());
    }

    void storedLowerBoundIsShownClamped() {
        markSaved();
        m_store->writeNumber("Dups", "MatchTol", 1000);
        auto dlg = makeDlg();
        QCOMPARE(control<QLineEdit>(dlg.get(), MainId::LowerBound)->text(), QString("100.0"));
        QCOMPARE(control<UpDownControl>(dlg.get(), MainId::LowerSpin)->position(), 100);
        dlg.reset();
        m_store->writeNumber("Dups", "MatchTol", 700);
        dlg = makeDlg();
        QCOMPARE(control<QLineEdit>(dlg.get(), MainId::LowerBound)->text(), QString("75.0"));
    }

    void existingLogIsNotOverwrittenAndUnmakeableFolderIsIgnored() {
        markSaved();
        QDir().mkpath(path("logs"));
        QFile own(path("logs/Dups.log"));
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.write("mine");
        own.close();
        m_store->writeString("1.0", "LogPath", path("logs").toStdString());
        makeDlg().reset();
        QVERIFY(own.open(QIODevice::ReadOnly));
        QCOMPARE(own.readAll(), QByteArray("mine"));

        // A folder below a regular file can never be made.
        m_store->writeString("1.0", "LogPath", path("logs/Dups.log/sub").toStdString());
        auto dlg = makeDlg();
        QVERIFY(!QFile::exists(path("logs/Dups.log/sub")));
        QVERIFY(m_prompter.calls().empty());
    }

    // Missing, they would open the first Open or Save As in their parent.
    void dataAndListFoldersAreMadeAtStart() {
        makeDlg().reset();  // first start: the folders under the data folder
        QVERIFY(QFileInfo(path("data/DupData")).isDir());
        QVERIFY(QFileInfo(path("data/Orvexs")).isDir());

        markSaved();
        m_store->writeString("1.0", "DupDataPath", path("mine/dups").toStdString());
        m_store->writeString("1.0", "ListPath", path("mine/lists").toStdString());
        makeDlg().reset();
        QVERIFY(QFileInfo(path("mine/dups")).isDir());
        QVERIFY(QFileInfo(path("mine/lists")).isDir());
        QVERIFY(m_prompter.calls().empty());
    }

    void pagesShowOnlyTheirControls() {
        auto dlg = makeDlg();
        dlg->show();
        const int compact = clientHeight(*dlg);
        QVERIFY(shown(*dlg, MainId::ModeWithinPrimary) && shown(*dlg, MainId::ModeSingleToPrimary));
        QVERIFY(!shown(*dlg, MainId::PrimaryLabel) && !shown(*dlg, MainId::FindDups) &&
                !shown(*dlg, MainId::LogView));
        QVERIFY(!shown(*dlg, MainId::LeftPane) && !shown(*dlg, MainId::Next));
        QVERIFY(shown(*dlg, MainId::Close) && shown(*dlg, MainId::Help));
        QVERIFY(!shown(*dlg, MainId::Progress) && !shown(*dlg, MainId::Abort));

        control<QLabel>(dlg.get(), MainId::Status)->setText("old status");
        clickTab(*dlg, 1);
        QVERIFY(!shown(*dlg, MainId::ModeWithinPrimary));
        for (int id : {MainId::PrimaryLabel, MainId::PrimaryOpen, MainId::PrimaryBuild,
                       MainId::PrimaryFile, MainId::SecondaryLabel, MainId::SecondaryOpen,
                       MainId::SecondaryBuild, MainId::SecondaryFile, MainId::SingleLabel,
                       MainId::SingleOpen, MainId::SingleFile, MainId::Status}) {
            QVERIFY2(shown(*dlg, id), qPrintable(QString::number(id)));
        }
        QCOMPARE(textOf(dlg.get(), MainId::Status), QString());
        QCOMPARE(control<QLabel>(dlg.get(), MainId::PrimaryLabel)->text(),
                 QString("Primary data file"));
        QCOMPARE(control<QLabel>(dlg.get(), MainId::PrimaryFile)->text(),
                 QString("No data file loaded"));
        // Mode 0 needs only the primary row.
        QVERIFY(control<QWidget>(dlg.get(), MainId::PrimaryOpen)->isEnabled());
        QVERIFY(!control<QWidget>(dlg.get(), MainId::SecondaryOpen)->isEnabled());
        QVERIFY(!control<QWidget>(dlg.get(), MainId::SingleOpen)->isEnabled());

        dlg->run().settings().m_bCheckMirror = 1;
        clickTab(*dlg, 2);
        QCOMPARE(control<QLabel>(dlg.get(), MainId::SettingsText)->text(),
                 QString("Match algorithm: color (euclidean)\nAdditional check for mirrored "
                         "images.\nImages have no size restriction"));
        for (int id : {MainId::BandLabel, MainId::BandToLabel, MainId::BandMatchLabel,
                       MainId::LowerBound, MainId::UpperBound, MainId::LowerSpin, MainId::UpperSpin,
                       MainId::FindDups, MainId::SettingsText, MainId::FindSetup}) {
            QVERIFY2(shown(*dlg, id), qPrintable(QString::number(id)));
        }
        QVERIFY(!shown(*dlg, MainId::Status) && !shown(*dlg, MainId::DataState));
        QCOMPARE(clientHeight(*dlg), compact);

        // Without a log to read, the page keeps its tall layout.
        dlg->run().setResultsPending(false);
        clickTab(*dlg, 3);
        QVERIFY(dlg->isExpanded());
        QCOMPARE(clientHeight(*dlg), 640 + 10);
        for (int id : {MainId::ViewTitle, MainId::LogView, MainId::First, MainId::Last,
                       MainId::LeftPane, MainId::RightPane, MainId::LeftTitle, MainId::RightTitle,
                       MainId::LeftDelete, MainId::RightDelete, MainId::Next, MainId::Back}) {
            QVERIFY2(shown(*dlg, id), qPrintable(QString::number(id)));
        }
        // No pairs loaded: no source labels, and the Move buttons stay hidden.
        QVERIFY(!shown(*dlg, MainId::LeftSource) && !shown(*dlg, MainId::RightSource));
        QVERIFY(!shown(*dlg, MainId::LeftMove) && !shown(*dlg, MainId::RightMove));
        QVERIFY(!shown(*dlg, MainId::LowerBound));

        clickTab(*dlg, 0);
        QVERIFY(!dlg->isExpanded());
        QCOMPARE(clientHeight(*dlg), 53 * 640 / 100);
        QVERIFY(!shown(*dlg, MainId::LeftPane));
    }

    void compareModeDrivesRowsSourceLabelAndFindButton() {
        auto dlg = makeDlg();
        dlg->show();
        QTest::mouseClick(control<QRadioButton>(dlg.get(), MainId::ModeSingleToPrimary),
                          Qt::LeftButton);
        QCOMPARE(dlg->run().compareMode(), CompareMode::SingleToPrimary);
        QCOMPARE(control<QLabel>(dlg.get(), MainId::LeftSource)->text(),
                 QString("Single image file"));
        QTest::mouseClick(control<QRadioButton>(dlg.get(), MainId::ModeSecondaryToPrimary),
                          Qt::LeftButton);
        QCOMPARE(control<QLabel>(dlg.get(), MainId::LeftSource)->text(),
                 QString("Source: secondary datafile"));
        QCOMPARE(control<QLabel>(dlg.get(), MainId::RightSource)->text(),
                 QString("Source: primary datafile"));

        giveRecords(dlg->run(), kPrimarySlot, 3);
        dlg->run().setSlotLabel(kPrimarySlot, "Data file: holiday");
        clickTab(*dlg, 1);
        QVERIFY(control<QWidget>(dlg.get(), MainId::SecondaryOpen)->isEnabled());
        QVERIFY(!control<QWidget>(dlg.get(), MainId::SingleOpen)->isEnabled());
        QCOMPARE(control<QLabel>(dlg.get(), MainId::PrimaryLabel)->text(),
                 QString("Primary data file images: 3"));
        QCOMPARE(control<QLabel>(dlg.get(), MainId::PrimaryFile)->text(),
                 QString("Data file: holiday"));

        // Mode 1 needs both slots.
        clickTab(*dlg, 2);
        QVERIFY(!control<QPushButton>(dlg.get(), MainId::FindDups)->isEnabled());
        giveRecords(dlg->run(), kSecondarySlot, 2);
        QVERIFY(control<QPushButton>(dlg.get(), MainId::FindDups)->isEnabled());
        QVERIFY(!shown(*dlg, MainId::FindHint));

        emit dlg->jobs().started(JobMode::Find);
        QVERIFY(!control<QWidget>(dlg.get(), MainId::ModeWithinPrimary)->isEnabled());
        QVERIFY(!control<QWidget>(dlg.get(), MainId::ModeSingleToPrimary)->isEnabled());
    }

    void boundEditsMoveTheirUpDownControls() {
        auto dlg = makeDlg();
        auto* lower = control<QLineEdit>(dlg.get(), MainId::LowerBound);
        auto* spin = control<UpDownControl>(dlg.get(), MainId::LowerSpin);
        lower->clear();
        QTest::keyClicks(lower, "98.5");
        QCOMPARE(spin->position(), 98);
        lower->clear();
        QTest::keyClicks(lower, "60");
        QCOMPARE(spin->position(), 98);
        QCOMPARE(dlg->findPage().lowerBoundTenths(), 600);
        // The edit takes at most five characters.
        lower->clear();
        QTest::keyClicks(lower, "99.123");
        QCOMPARE(lower->text(), QString("99.12"));
        QCOMPARE(spin->position(), 99);

        // Stepping writes the whole position back into the edit.
        QTest::keyClick(spin, Qt::Key_Up);
        QCOMPARE(spin->position(), 100);
        QCOMPARE(lower->text(), QString("100"));
        QTest::keyClick(lower, Qt::Key_Up);
        QCOMPARE(spin->position(), 100);
        QCOMPARE(lower->text(), QString("100"));
        QTest::mouseClick(spin->findChild<QWidget*>("down"), Qt::LeftButton);
        QCOMPARE(lower->text(), QString("99"));

        auto* upperSpin = control<UpDownControl>(dlg.get(), MainId::UpperSpin);
        auto* upper = control<QLineEdit>(dlg.get(), MainId::UpperBound);
        upperSpin->setPosition(75);
        QTest::keyClick(upperSpin, Qt::Key_Down);
        QCOMPARE(upperSpin->position(), 75);
        QCOMPARE(upper->text(), QString("100"));
    }

    void closeReminderYesSavesLaterAndClosesNextTime() {
        auto dlg = makeDlg();
        dlg->show();
        giveRecords(dlg->run(), kPrimarySlot, 2);
        dlg->run().setPrimaryUnsaved(true);

        QString caption;
        onNextModal(m_pollers.get(), [&caption](QWidget* modal) {
            caption = modal->windowTitle();
            QCOMPARE(modal->objectName(), QString("id152"));
            auto* remind = control<QCheckBox>(modal, SaveDatafileId::Remind);
            QVERIFY(remind->isChecked());
            remind->setChecked(false);
            QTest::mouseClick(control<QPushButton>(modal, SaveDatafileId::Yes), Qt::LeftButton);
        });
        m_prompter.answerSaveFile(std::nullopt);
        dlg->reject();
        QCOMPARE(caption, QString("Save Primary datafile"));
        QVERIFY(dlg->isVisible());
        QVERIFY(!dlg->run().primaryUnsaved());
        QCOMPARE(dlg->run().settings().m_bRemindSave, 0);

        QTRY_COMPARE_WITH_TIMEOUT(m_prompter.calls().size(), size_t(1), 5000);
        const ScriptedPrompter::Call& save = m_prompter.calls()[0];
        QVERIFY(save.kind == ScriptedPrompter::Kind::SaveFile);
        QCOMPARE(save.caption, std::string("SaveAs (Dups data file)"));
        QCOMPARE(save.file.initialName, std::string("PrimaryData"));
        QCOMPARE(save.file.initialFolder, dlg->run().settings().m_strDupDataPath);

        dlg->reject();
        QVERIFY(!dlg->isVisible());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        dlg.reset();
        QCOMPARE(m_store->readString("Dups", "Remind"), std::optional<std::string>("No"));
    }

    void closeReminderNoClosesAtOnce() {
        auto dlg = makeDlg();
        dlg->show();
        giveRecords(dlg->run(), kPrimarySlot, 2);
        dlg->run().setPrimaryUnsaved(true);
        onNextModal(m_pollers.get(), [](QWidget* modal) {
            QTest::mouseClick(control<QPushButton>(modal, SaveDatafileId::No), Qt::LeftButton);
        });
        dlg->reject();
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->run().settings().m_bRemindSave, 1);
        QVERIFY(dlg->run().primaryUnsaved());
    }

    void closeWhileAJobRunsSkipsTheReminder() {
        auto dlg = makeDlg();
        dlg->show();
        giveRecords(dlg->run(), kPrimarySlot, 2);
        dlg->run().setPrimaryUnsaved(true);
        std::atomic<bool> started{false};
        QVERIFY(dlg->jobs().start(JobMode::BuildPrimary, 2, [&started](JobProgress& p) {
            started = true;
            while (!p.stopRequested()) {
                std::this_thread::yield();
            }
            return false;
        }));
        QTRY_VERIFY_WITH_TIMEOUT(started.load(), 5000);
        // A second job is refused while one runs.
        QVERIFY(!dlg->jobs().start(JobMode::Find, 1, [](JobProgress&) { return true; }));

        bool reminded = false;
        onNextModal(m_pollers.get(), [&reminded](QWidget* modal) {
            reminded = true;
            modal->close();
        });
        dlg->reject();
        QVERIFY(!dlg->isVisible());
        QVERIFY(!reminded);
        // Destroying the window stops and joins the worker.
        dlg.reset();
    }

    void viewKeysReachAcceleratorsOnlyOnViewDups() {
        auto dlg = makeDlg();
        dlg->show();
        dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg.get()));
        std::map<int, int> hits;
        for (int id : {MainId::LeftDelete, MainId::RightDelete, MainId::Next, MainId::Back,
                       MainId::First, MainId::Last}) {
            dlg->commands().setHandler(id, [&hits, id] { ++hits[id]; });
        }

        auto* radio = control<QRadioButton>(dlg.get(), MainId::ModeWithinPrimary);
        QTest::keyClick(radio, Qt::Key_PageDown);
        QTest::keyClick(radio, Qt::Key_1, Qt::ControlModifier);
        QVERIFY(hits.empty());

        dlg->selectPage(kPageView);
        auto* list = control<QListView>(dlg.get(), MainId::LogView);
        QTest::keyClick(list, Qt::Key_PageDown);
        QTest::keyClick(list, Qt::Key_PageUp);
        QTest::keyClick(list, Qt::Key_Home);
        QTest::keyClick(list, Qt::Key_End);
        QTest::keyClick(list, Qt::Key_1, Qt::ControlModifier);
        QTest::keyClick(list, Qt::Key_2, Qt::ControlModifier);
        QTest::keyClick(list, Qt::Key_1);
        QCOMPARE(hits, (std::map<int, int>{{MainId::LeftDelete, 1},
                                           {MainId::RightDelete, 1},
                                           {MainId::Next, 1},
                                           {MainId::Back, 1},
                                           {MainId::First, 1},
                                           {MainId::Last, 1}}));

        // Delete and Enter press the focused viewer button, and only that.
        auto* back = control<QPushButton>(dlg.get(), MainId::Back);
        back->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(back->hasFocus(), 5000);
        QTest::keyClick(back, Qt::Key_Delete);
        QTest::keyClick(back, Qt::Key_Return);
        QCOMPARE(hits[MainId::Back], 3);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(hits[MainId::Back], 3);
        QCOMPARE(hits[MainId::Next], 1);
    }

    void destroySavesSettingsWithTheTypedLowerBound() {
        auto dlg = makeDlg();
        auto* lower = control<QLineEdit>(dlg.get(), MainId::LowerBound);
        lower->clear();
        QTest::keyClicks(lower, "60");
        dlg->run().settings().m_nSortMode = 3;
        dlg.reset();
        QCOMPARE(m_store->readNumber("Dups", "MatchTol"), std::optional<std::int32_t>(600));
        QCOMPARE(m_store->readString("Dups", "First"), std::optional<std::string>("Second"));

        dlg = makeDlg();
        QCOMPARE(control<QLineEdit>(dlg.get(), MainId::LowerBound)->text(), QString("75.0"));
        QCOMPARE(dlg->run().settings().m_nSortMode, 3);
        QCOMPARE(dlg->run().settings().m_bFirstRun, 0);
    }

    void unreadableSettingsStillStart() {
        BrokenKeyStore broken(*m_store, "Dups");
        auto dlg = makeDlg(&broken);
        QCOMPARE(m_prompter.messageTexts(), std::vector<std::string>{"Registry readfail #5965"});
        QCOMPARE(control<QLineEdit>(dlg.get(), MainId::LowerBound)->text(), QString("98.0"));
        QCOMPARE(dlg->run().settings().m_nDupsLimit, 1000);
        m_prompter.clear();
        dlg.reset();
        QCOMPARE(m_prompter.messageTexts(), std::vector<std::string>{"Registry write fail #5385"});
    }

    void helpAboutAndLargeViewCommands() {
        auto dlg = makeDlg();
        dlg->show();
        QTest::mouseClick(control<QPushButton>(dlg.get(), MainId::Help), Qt::LeftButton);
        QCOMPARE(m_desktop.count("help"), 1);
        QCOMPARE(m_desktop.requests[0].target, std::string("introduction.html"));

        QString title;
        QStringList texts;
        onNextModal(m_pollers.get(), [&](QWidget* modal) {
            title = modal->windowTitle();
            for (QLabel* label : modal->findChildren<QLabel*>()) {
                texts << label->text();
            }
            QVERIFY(!control<QLineEdit>(modal, AboutId::Web)->text().isEmpty());
            QTest::mouseClick(control<QPushButton>(modal, AboutId::Ok), Qt::LeftButton);
        });
        dlg->menus().action(MainId::MenuAbout)->trigger();
        QCOMPARE(title, QString("About Twinly"));
        QVERIFY(texts.contains("Twinly Version 3.3.0.2   7/8/2011"));

        dlg->run().setResultsPending(false);
        dlg->menus().action(MainId::MenuLargeView)->trigger();
        QCOMPARE(dlg->run().settings().m_bLargeView, 1);
        QCOMPARE(dlg->currentPage(), 3);
        QVERIFY(dlg->isExpanded());
    }

    void dataFilesOpenAndSaveThroughTheirDialogs() {
        auto dlg = makeDlg();
        dlg->show();
        DatafileSlot source;
        std::vector<ImageRecord> records(2);
        records[0].nWidth = 10;
        records[1].nWidth = 20;
        source.setEntries({path("a.jpg").toStdString(), path("b.jpg").toStdString()},
                          std::move(records));
        source.m_strSourceFolder = m_dir->path().toStdString();
        const std::string dup = path("holiday.dup").toStdString();
        QCOMPARE(WriteDatafile(dup, source), 1);

        // The page's "Open..." leaves the unsaved mark alone.
        dlg->run().setPrimaryUnsaved(true);
        clickTab(*dlg, 1);
        m_prompter.answerOpenFile(dup);
        QTest::mouseClick(control<QPushButton>(dlg.get(), MainId::PrimaryOpen), Qt::LeftButton);
        QCOMPARE(m_prompter.calls().back().caption, std::string("Open (Dups data file)"));
        QCOMPARE(m_prompter.calls().back().file.initialFolder,
                 dlg->run().settings().m_strDupDataPath);
        QCOMPARE(dlg->run().primary().count(), 2);
        QVERIFY(dlg->run().primaryUnsaved());
        QCOMPARE(dlg->currentPage(), 1);
        QCOMPARE(control<QLabel>(dlg.get(), MainId::PrimaryLabel)->text(),
                 QString("Primary data file images: 2"));
        QCOMPARE(control<QLabel>(dlg.get(), MainId::PrimaryFile)->text(),
                 QString("Data file: holiday"));

        // The menu's "Open" clears it.
        m_prompter.answerOpenFile(dup);
        dlg->menus().action(MainId::MenuOpenPrimary)->trigger();
        QVERIFY(!dlg->run().primaryUnsaved());
        clickTab(*dlg, 2);
        QVERIFY(control<QPushButton>(dlg.get(), MainId::FindDups)->isEnabled());

        dlg->run().setPrimaryUnsaved(true);
        const QString copy = path("copy.dup");
        m_prompter.answerSaveFile(copy.toStdString());
        dlg->menus().action(MainId::MenuSavePrimary)->trigger();
        QCOMPARE(m_prompter.calls().back().file.initialName, dup);
        QVERIFY(QFile::exists(copy));
        QVERIFY(!dlg->run().primaryUnsaved());
        QCOMPARE(m_desktop.count("beep"), 1);

        // The name without ".dup" names the same file: asked before replacing it.
        const QByteArray saved = md5Of(copy);
        dlg->run().setPrimaryUnsaved(true);
        m_prompter.answerSaveFile(path("copy").toStdString());
        m_prompter.answerMessage(PromptAnswer::No);
        m_prompter.answerSaveFile(std::nullopt);
        dlg->menus().action(MainId::MenuSavePrimary)->trigger();
        QVERIFY(m_prompter.allAnswersUsed());
        QCOMPARE(m_prompter.messageTexts().back(),
                 std::string("copy.dup already exists.\nDo you want to replace it?"));
        QCOMPARE(md5Of(copy), saved);
        QVERIFY(!QFile::exists(path("copy")));
        QVERIFY(dlg->run().primaryUnsaved());

        // A file that cannot be written is reported and the mark stays.
        dlg->run().setPrimaryUnsaved(true);
        m_prompter.answerSaveFile((copy + "/below-a-file.dup").toStdString());
        m_prompter.answerMessage(PromptAnswer::Ok);
        dlg->menus().action(MainId::MenuSavePrimary)->trigger();
        QCOMPARE(m_prompter.messageTexts().back(), std::string("Unable to save Dups data file!"));
        QVERIFY(dlg->run().primaryUnsaved());

        // A damaged file leaves the slot as it was.
        QFile bad(path("bad.dup"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("DX");
        bad.close();
        m_prompter.answerOpenFile(path("bad.dup").toStdString());
        m_prompter.answerMessage(PromptAnswer::Ok);  // the reader's header message
        m_prompter.answerMessage(PromptAnswer::Ok);
        dlg->menus().action(MainId::MenuOpenSecondary)->trigger();
        QCOMPARE(m_prompter.messageTexts().back(), std::string("Unable to open Dups data file!"));
        QVERIFY(!dlg->run().secondary().hasRecords());
        QCOMPARE(m_prompter.unexpectedCalls(), 0);
        QVERIFY(m_prompter.allAnswersUsed());
    }

    // twinly-cli writes a source past 32,000 images as NAME.dup (full) and
    // NAME-2.dup...: the window opens a full part and a short one.
    void bothPartsOfASplitSetOpen() {
        auto dlg = makeDlg();
        dlg->show();
        auto writePart = [&](const QString& name, int first, int count) {
            DatafileSlot part;
            std::vector<std::string> paths;
            std::vector<ImageRecord> records(static_cast<std::size_t>(count));
            for (int i = 0; i < count; ++i) {
                paths.push_back("/photos/img" + std::to_string(first + i) + ".jpg");
                records[static_cast<std::size_t>(i)].nWidth = 100;
                records[static_cast<std::size_t>(i)].nHeight = 80;
            }
            part.setEntries(std::move(paths), std::move(records));
            part.m_strSourceFolder = "/photos";
            QCOMPARE(WriteDatafile(path(name).toStdString(), part), 1);
        };
        writePart("set.dup", 0, kPathListCapacity);
        writePart("set-2.dup", kPathListCapacity, 10);

        m_prompter.answerOpenFile(path("set.dup").toStdString());
        dlg->menus().action(MainId::MenuOpenPrimary)->trigger();
        m_prompter.answerOpenFile(path("set-2.dup").toStdString());
        dlg->menus().action(MainId::MenuOpenSecondary)->trigger();
        QCOMPARE(dlg->run().primary().count(), kPathListCapacity);
        QCOMPARE(dlg->run().primary().paths().back(), std::string("/photos/img31999.jpg"));
        QCOMPARE(dlg->run().secondary().count(), 10);
        QCOMPARE(dlg->run().secondary().paths().front(), std::string("/photos/img32000.jpg"));
        QCOMPARE(control<QLabel>(dlg.get(), MainId::PrimaryLabel)->text(),
                 QString("Primary data file images: 32000"));
        QCOMPARE(control<QLabel>(dlg.get(), MainId::SecondaryFile)->text(),
                 QString("Data file: set-2"));
        QCOMPARE(m_prompter.unexpectedCalls(), 0);
        QVERIFY(m_prompter.allAnswersUsed());
    }

    void moveRuleFollowsTheMoveFolders() {
        markSaved();
        QDir().mkpath(path("left"));
        m_store->writeString("Dups", "MoveTo", "Yes");
        m_store->writeString("Dups", "ShowM", "Yes");
        m_store->writeString("Dups", "MoveFolder", path("left").toStdString());
        m_store->writeString("Dups", "MoveFolder2", path("missing").toStdString());
        auto dlg = makeDlg();
        dlg->show();
        dlg->selectPage(kPageView);
        QVERIFY(dlg->run().moves().leftMoves);
        QVERIFY(!dlg->run().moves().rightMoves);
        QCOMPARE(control<QPushButton>(dlg.get(), MainId::LeftDelete)->text(), QString("Move"));
        QCOMPARE(control<QPushButton>(dlg.get(), MainId::RightDelete)->text(), QString("Delete"));
        QVERIFY(!shown(*dlg, MainId::LeftMove) && !shown(*dlg, MainId::RightMove));
        QCOMPARE(dlg->run().settings().m_bMoveTo, 1);

        dlg->run().settings().m_strMoveFolder = path("gone").toStdString();
        dlg->run().applyMoveRule();
        QCOMPARE(control<QPushButton>(dlg.get(), MainId::LeftDelete)->text(), QString("Delete"));
        QCOMPARE(dlg->run().settings().m_bMoveTo, 0);
        dlg->run().settings().m_strMoveFolder2 = path("left").toStdString();
        dlg->viewer().applyMoveButtonRule();
        QVERIFY(!shown(*dlg, MainId::LeftMove) && shown(*dlg, MainId::RightMove));
    }
};

QTEST_MAIN(MainDlgTest)
#include "main_dlg_test.moc"
