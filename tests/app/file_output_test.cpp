// One session through the window as a user would run it, checking every file
// it writes: two data files, two dups logs and the settings. With
// TWINLY_FILE_OUTPUT_DIR set, the session runs in that folder and leaves the
// files there, so two builds of the program can be compared byte for byte.

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>

#include "build_dlg.h"
#include "datafile_io.h"
#include "datafile_slot.h"
#include "desktop.h"
#include "dialog_kit.h"
#include "file_ops.h"
#include "log_reader.h"
#include "main_ids.h"
#include "match_list.h"
#include "qsettings_store.h"
#include "scripted_prompter.h"
#include "test_images.h"
#include "window_test_kit.h"

namespace {

// Stands in for the trash: a removed image goes into a folder of the session.
class FolderTrash : public FileOps {
  public:
    explicit FolderTrash(std::string folder) : m_folder(std::move(folder)) {}
    bool moveToTrash(const std::string& path) override {
        std::error_code ec;
        std::filesystem::create_directories(m_folder, ec);
        std::filesystem::rename(
            path, std::filesystem::path(m_folder) / std::filesystem::path(path).filename(), ec);
        return !ec;
    }
    bool deletePermanently(const std::string&) override { return false; }
    std::optional<std::string> moveToFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }

  private:
    std::string m_folder;
};

QByteArray md5Of(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return "missing";
    }
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Md5).toHex();
}

bool waitFor(const std::function<bool()>& done) {
    return QTest::qWaitFor(done, 30000);
}

}  // namespace

class FileOutputTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_temp;
    QString m_root;

    QString at(const QString& name) const { return QDir(m_root).filePath(name); }
    std::string stdAt(const QString& name) const { return at(name).toStdString(); }

    static void clickTab(CMainDlg& dlg, int page) {
        QTabBar* bar = control<QTabWidget>(&dlg, MainId::Tabs)->findChild<QTabBar*>();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
    }

    void writeImages() {
        QDir().mkpath(at("pics"));
        const QImage photo = GradientImage(64, 48, Qt::red, Qt::blue);
        QVERIFY(WriteImage(photo, stdAt("pics/a.jpg"), "JPG"));
        QVERIFY(QFile::copy(at("pics/a.jpg"), at("pics/b.jpg")));
        QVERIFY(WriteImage(photo, stdAt("pics/c.png"), "PNG"));
        QVERIFY(
            WriteImage(GradientImage(80, 60, Qt::green, Qt::yellow), stdAt("pics/d.jpg"), "JPG"));
        QVERIFY(WriteImage(SolidImage(50, 50, Qt::gray), stdAt("pics/e.jpg"), "JPG"));
        // The single image is a copy kept elsewhere: an image is never its own pair.
        QDir().mkpath(at("single"));
        QVERIFY(QFile::copy(at("pics/d.jpg"), at("single/d.jpg")));
    }

  private slots:
    void initTestCase() {
        m_root = qEnvironmentVariable("TWINLY_FILE_OUTPUT_DIR");
        if (m_root.isEmpty()) {
            QVERIFY(m_temp.isValid());
            m_root = m_temp.path();
        } else {
            QDir(m_root).removeRecursively();
            QVERIFY(QDir().mkpath(m_root));
        }
    }

    void aSessionWritesDataFilesLogsAndSettings() {
        writeImages();
        QSettingsStore store(at("settings.ini"));
        store.writeString("Dups", "First", "Second");
        store.writeString("1.0", "LogPath", stdAt("logs"));
        store.writeString("1.0", "DupDataPath", stdAt("data"));
        QDir().mkpath(at("data"));
        ScriptedPrompter prompter;
        FolderTrash trash(stdAt("trash"));
        RecordingDesktop desktop;
        QObject pollers;
        auto dlg = std::make_unique<CMainDlg>(MainDlgServices{.store = store,
                                                              .prompter = prompter,
                                                              .fileOps = trash,
                                                              .desktop = desktop,
                                                              .dataFolder = at("appdata"),
                                                              .seedLogFile = QString()});
        dlg->show();
        const auto status = [&] { return textOf(dlg.get(), MainId::Status); };

        // Build the primary data file from the folder and save it.
        clickTab(*dlg, 1);
        onNextModal(&pollers, [this](QWidget* d) {
            control<QLineEdit>(d, BuildDlgId::Folder)->setText(at("pics"));
            control<QAbstractButton>(d, kIdOk)->click();
        });
        dlg->OnCommand(MainId::PrimaryBuild);
        QVERIFY(waitFor([&] { return status().startsWith("Finished: 5 images"); }));
        prompter.answerSaveFile(stdAt("data/primary.dup"));
        dlg->OnCommand(MainId::MenuSavePrimary);

        // Find within it, sorted high to low, and view the pairs.
        clickTab(*dlg, 2);
        control<QLineEdit>(dlg.get(), MainId::LowerBound)->setText("90");
        control<QLineEdit>(dlg.get(), MainId::UpperBound)->setText("100");
        dlg->OnCommand(MainId::MenuSortDescending);
        dlg->OnCommand(MainId::FindDups);
        QVERIFY(
            waitFor([&] { return textOf(dlg.get(), MainId::DataState).startsWith("Finished:"); }));
        clickTab(*dlg, 3);
        QVERIFY(textOf(dlg.get(), MainId::ViewTitle).startsWith("Viewing pair 1 of"));

        // Remove the right image of the first pair, keep the log under a name.
        dlg->OnCommand(MainId::MenuSemiAutoDelete);
        dlg->OnCommand(MainId::RightDelete);
        prompter.answerSaveFile(stdAt("logs/saved.log"));
        dlg->OnCommand(MainId::MenuSaveLog);

        // A fast rebuild drops the removed image; save that data file too.
        clickTab(*dlg, 1);
        prompter.answerMessage(PromptAnswer::Ok);
        dlg->OnCommand(MainId::MenuRebuildPrimary);
        QVERIFY(waitFor([&] { return status().startsWith("Finished: 4 images"); }));
        prompter.answerSaveFile(stdAt("data/rebuilt.dup"));
        dlg->OnCommand(MainId::MenuSavePrimary);

        // A single image against the rebuilt data, then options, then close.
        clickTab(*dlg, 0);
        control<QRadioButton>(dlg.get(), MainId::ModeSingleToPrimary)->click();
        clickTab(*dlg, 1);
        prompter.answerOpenFile(stdAt("single/d.jpg"));
        dlg->OnCommand(MainId::SingleOpen);
        clickTab(*dlg, 2);
        dlg->OnCommand(MainId::FindDups);
        QVERIFY(
            waitFor([&] { return textOf(dlg.get(), MainId::DataState).startsWith("Finished:"); }));
        dlg->OnCommand(MainId::MenuBeep);
        dlg->OnCommand(MainId::MenuShowFileSizes);
        dlg->reject();
        dlg.reset();
        QCOMPARE(prompter.unexpectedCalls(), 0);
        QVERIFY(prompter.allAnswersUsed());

        DatafileSlot primary;
        QCOMPARE(ReadDatafile(stdAt("data/primary.dup"), 0, primary, prompter), 1);
        QCOMPARE(primary.count(), 5);
        DatafileSlot rebuilt;
        QCOMPARE(ReadDatafile(stdAt("data/rebuilt.dup"), 0, rebuilt, prompter), 1);
        QCOMPARE(rebuilt.count(), 4);

        MatchList saved;
        QCOMPARE(ReadDupsLog(stdAt("logs/saved.log"), saved), kLogRead);
        QCOMPARE(saved.pairCount(), 3);
        QCOMPARE(saved.m_rightPaths.front(), std::string(kDeletedEntry));
        const std::string gone = QDir(at("trash")).entryList(QDir::Files).value(0).toStdString();
        QVERIFY(!gone.empty());
        QVERIFY(std::none_of(rebuilt.paths().begin(), rebuilt.paths().end(),
                             [&](const std::string& p) { return p.ends_with("/" + gone); }));

        MatchList single;
        QCOMPARE(ReadDupsLog(stdAt("logs/Dups.log"), single), kLogRead);
        QCOMPARE(single.pairCount(), 1);
        QCOMPARE(single.m_leftPaths.front(), stdAt("single/d.jpg"));
        QCOMPARE(single.m_rightPaths.front(), stdAt("pics/d.jpg"));

        QFile ini(at("settings.ini"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray settings = ini.readAll();
        for (const char* line : {"Auto=2", "Sort=3", "MatchTol=900", "DoBeep=Yes", "ShowFS=Yes"}) {
            QVERIFY2(settings.contains(line), line);
        }

        for (const char* file : {"data/primary.dup", "data/rebuilt.dup", "logs/saved.log",
                                 "logs/Dups.log", "settings.ini"}) {
            qInfo("md5 %s %s", md5Of(at(file)).constData(), file);
        }
    }
};

QTEST_MAIN(FileOutputTest)
#include "file_output_test.moc"
