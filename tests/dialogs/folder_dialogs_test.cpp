#include <QApplication>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <filesystem>

#include "app_prompter.h"
#include "dialog_test_kit.h"
#include "folder_browse_dialog.h"
#include "folder_browser.h"
#include "folder_prefs_dlg.h"
#include "move_folder_dlg.h"
#include "move_rule.h"
#include "open_watch.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {
// A folder with a 60-character name; its path is longer still.
std::string longFolder(const TempDir& dir) {
    const std::string path = dir.file(std::string(60, 'f'));
    fs::create_directories(path);
    return path;
}
}  // namespace

class FolderDialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void browserReturnsTheChoiceOrKeepsTheInitialFolder() {
        ScriptedPrompter prompter;
        CFolderBrowser browser(prompter, "/start");
        browser.m_strTitle = "Pick";
        prompter.answerChooseFolder("/picked");
        QCOMPARE(browser.DoBrowse(), 1);
        QCOMPARE(browser.m_strChosenFolder, std::string("/picked"));
        QCOMPARE(prompter.calls().back().folder.title, std::string("Pick"));
        QCOMPARE(prompter.calls().back().folder.initialFolder, std::string("/start"));
        prompter.answerChooseFolder(std::nullopt);
        QCOMPARE(browser.DoBrowse(), 2);
        QCOMPARE(browser.m_strChosenFolder, std::string("/start"));
        QCOMPARE(CFolderBrowser(prompter, "").m_strTitle, std::string("Current Selection"));
    }

    void chooserOpensAtTheInitialFolderAndShowsItShortened() {
        TempDir dir;
        const std::string sixty = longFolder(dir);
        const std::string other = dir.path().string();
        FolderBrowseDialog dlg("Choose", QString::fromStdString(sixty));
        dlg.show();
        auto* status = dlg.findChild<QLabel*>("statusLine");
        QVERIFY(status);
        QCOMPARE(status->text(), QString::fromStdString(sixty.substr(0, 35) + "..."));
        QCOMPARE(dlg.chosenFolder(), QString::fromStdString(sixty));
        QVERIFY(Control<QPushButton>(&dlg, kIdOk)->isEnabled());

        QVERIFY(dlg.selectFolder(QString::fromStdString(other)));
        QCOMPARE(dlg.chosenFolder(), QString::fromStdString(other));
        QVERIFY(!dlg.selectFolder(QString::fromStdString(dir.file("missing"))));
        Click(&dlg, kIdOk);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void appPrompterShowsTheChooser() {
        TempDir dir;
        AppPrompter prompter;
        int tries = 0;
        QTimer driver;
        // Press OK on the chooser once it is up; give up after a bounded wait.
        connect(&driver, &QTimer::timeout, [&] {
            auto* dlg = dynamic_cast<FolderBrowseDialog*>(QApplication::activeModalWidget());
            if (dlg != nullptr) {
                Click(dlg, kIdOk);
            } else if (++tries > 500) {
                for (QWidget* w : QApplication::topLevelWidgets()) {
                    if (auto* d = qobject_cast<QDialog*>(w)) {
                        d->reject();
                    }
                }
            }
        });
        driver.start(10);
        const auto chosen = prompter.chooseFolder({"Choose", dir.path().string()});
        driver.stop();
        QVERIFY(chosen.has_value());
        QCOMPARE(*chosen, dir.path().string());
    }

    void moveFolderCopyBrowseAndRule() {
        TempDir dir;
        const std::string right = dir.path().string();
        ScriptedPrompter prompter;
        CMoveFolderDlg dlg(prompter);
        dlg.m_strLeftFolder = "/old/left";
        dlg.m_strRightFolder = "/old/right";
        dlg.show();
        Type(&dlg, MoveFolderId::LeftFolder, "");
        Click(&dlg, MoveFolderId::CopyPath);
        QCOMPARE(TextOf(&dlg, MoveFolderId::RightFolder), QString());

        Type(&dlg, MoveFolderId::LeftFolder, "/typed");
        prompter.answerChooseFolder(std::nullopt);
        Click(&dlg, MoveFolderId::BrowseLeft);
        QCOMPARE(prompter.calls().back().folder.initialFolder, std::string("/typed"));
        QCOMPARE(prompter.calls().back().folder.title,
                 std::string("Choose image folder for 'Move'"));
        QCOMPARE(TextOf(&dlg, MoveFolderId::LeftFolder), QStringLiteral("/typed"));
        Click(&dlg, MoveFolderId::CopyPath);
        QCOMPARE(TextOf(&dlg, MoveFolderId::RightFolder), QStringLiteral("/typed"));
        prompter.answerChooseFolder(right);
        Click(&dlg, MoveFolderId::BrowseRight);
        QCOMPARE(TextOf(&dlg, MoveFolderId::RightFolder), QString::fromStdString(right));
        Click(&dlg, MoveFolderId::MoveOnly);
        Click(&dlg, kIdOk);
        QCOMPARE(dlg.m_bMoveOnly, 1);
        QCOMPARE(dlg.m_strLeftFolder, std::string("/typed"));
        QCOMPARE(dlg.m_strRightFolder, right);

        // Only the right folder exists: the right Delete button moves.
        const MoveFlags f = ApplyMoveRule(dlg.m_bMoveOnly, MoveFolderExists(dlg.m_strLeftFolder),
                                          MoveFolderExists(dlg.m_strRightFolder));
        QCOMPARE(DeleteButtonCaption(f.leftMoves), "Delete");
        QCOMPARE(DeleteButtonCaption(f.rightMoves), "Move");
        QVERIFY(f.moveTo);

        dlg.show();
        Type(&dlg, MoveFolderId::RightFolder, "/gone");
        Click(&dlg, kIdCancel);
        QCOMPARE(dlg.m_strRightFolder, right);
        QVERIFY(!ApplyMoveRule(true, MoveFolderExists("/typed"), MoveFolderExists("/gone")).moveTo);
    }

    void folderPrefsBrowseFromTheValueBeforeTyping() {
        ScriptedPrompter prompter;
        CFolderPrefsDlg dlg(prompter);
        dlg.m_strDataFolder = "/data";
        dlg.m_strLogFolder = "/logs";
        dlg.m_strListFolder = "/lists";
        dlg.show();
        Type(&dlg, FolderPrefsId::DataFolder, "/typed");
        prompter.answerChooseFolder("/browsed");
        Click(&dlg, FolderPrefsId::BrowseData);
        QCOMPARE(prompter.calls().back().folder.initialFolder, std::string("/data"));
        QCOMPARE(prompter.calls().back().folder.title,
                 std::string("Choose default folder dup data lists"));
        QCOMPARE(TextOf(&dlg, FolderPrefsId::DataFolder), QStringLiteral("/browsed"));
        prompter.answerChooseFolder("/browsed-lists");
        Click(&dlg, FolderPrefsId::BrowseList);
        QCOMPARE(prompter.calls().back().folder.title,
                 std::string("Choose default folder for image lists"));
        Click(&dlg, kIdCancel);
        QCOMPARE(dlg.m_strDataFolder, std::string("/data"));
        QCOMPARE(dlg.m_strListFolder, std::string("/lists"));

        dlg.show();
        QCOMPARE(TextOf(&dlg, FolderPrefsId::DataFolder), QStringLiteral("/data"));
        Type(&dlg, FolderPrefsId::LogFolder, "/typed-logs");
        prompter.answerChooseFolder("/browsed-lists");
        Click(&dlg, FolderPrefsId::BrowseList);
        Click(&dlg, kIdOk);
        QCOMPARE(dlg.m_strDataFolder, std::string("/data"));
        QCOMPARE(dlg.m_strLogFolder, std::string("/typed-logs"));
        QCOMPARE(dlg.m_strListFolder, std::string("/browsed-lists"));
        QCOMPARE(dlg.m_strLogEdit, std::string("/typed-logs"));
        QVERIFY(prompter.allAnswersUsed());
    }

    // A special file such as /proc/kmsg would hang a view that reads files for icons.
    void chooserNeverOpensFilesForIcons() {
        TempDir dir;
        FolderBrowseDialog dlg("Choose", QString::fromStdString(dir.path().string()));
        auto* model = dlg.findChild<QFileSystemModel*>();
        QVERIFY(model);
        QCOMPARE(FilesOpenedForIcons(*model->iconProvider(), dir.path().string()),
                 std::vector<std::string>{});
    }

    void chooserWithoutStartOpensAtHomeAndTakesATypedFolder() {
        TempDir dir;
        FolderBrowseDialog dlg("Choose", QString());
        dlg.show();
        auto* tree = dlg.findChild<QTreeView*>("folderTree");
        auto* ok = Control<QPushButton>(&dlg, 1);
        QCOMPARE(dlg.chosenFolder(), QDir::homePath());
        QVERIFY(tree->isExpanded(tree->currentIndex().parent()));
        QVERIFY(ok->isEnabled());
        auto* path = dlg.findChild<QLineEdit*>("folderPath");
        QVERIFY(path);
        QCOMPARE(path->text(), QDir::homePath());

        const QString typed = QString::fromStdString(dir.path().string());
        path->clear();
        QTest::keyClicks(path, typed + "/missing");
        QCOMPARE(dlg.chosenFolder(), QString());
        QVERIFY(!ok->isEnabled());
        path->clear();
        QTest::keyClicks(path, typed + "/");
        QCOMPARE(dlg.chosenFolder(), typed);
        QVERIFY(ok->isEnabled());
        QCOMPARE(path->text(), typed + "/");  // the tree follows, the field keeps the typing
        auto* model = qobject_cast<QFileSystemModel*>(tree->model());
        QCOMPARE(model->filePath(tree->currentIndex()), typed);
        QTest::keyClick(path, Qt::Key_Return);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }
};

int RunFolderDialogTests(int argc, char** argv) {
    FolderDialogsTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "folder_dialogs_test.moc"
