#include <QComboBox>
#include <QLabel>
#include <QObject>
#include <QTest>
#include <string>
#include <vector>

#include "build_dlg.h"
#include "desktop.h"
#include "dialog_test_kit.h"
#include "folder_walk.h"
#include "list_file.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

namespace {

// Counts whatever it is told to and remembers every question.
struct CountingDouble {
    struct Ask {
        std::string source;
        bool subfolders;
        bool quick;
    };
    std::vector<Ask> asks;
    int folderImages = 0;
    int listImages = 0;

    CBuildDlg::FolderCounter folder() {
        return [this](const std::string& f, bool sub, bool quick) {
            asks.push_back({f, sub, quick});
            return quick ? std::min(folderImages, 1000) : folderImages;
        };
    }
    CBuildDlg::ListCounter list() {
        return [this](const std::string& l, bool quick) {
            asks.push_back({l, false, quick});
            return quick ? std::min(listImages, 1000) : listImages;
        };
    }
};

const QString kFolderLine = QStringLiteral("Read image files from folder");

}  // namespace

class BuildDlgTest : public QObject {
    Q_OBJECT

    ScriptedPrompter* m_prompter = nullptr;
    RecordingDesktop* m_desktop = nullptr;
    CountingDouble* m_counts = nullptr;
    CBuildDlg* m_dlg = nullptr;

    QString countLine() const { return TextOf(m_dlg, BuildDlgId::CountLine); }

  private slots:
    void init() {
        m_prompter = new ScriptedPrompter;
        m_desktop = new RecordingDesktop;
        m_counts = new CountingDouble;
        m_dlg = new CBuildDlg(*m_prompter, *m_desktop, m_counts->folder(), m_counts->list());
        m_dlg->m_strFolder = "/pics";
        m_dlg->m_strBrowseStart = "/start";
        m_dlg->m_strListFolder = "/lists";
    }
    void cleanup() {
        delete m_dlg;
        delete m_counts;
        delete m_desktop;
        delete m_prompter;
    }

    void countLineVariants() {
        m_counts->folderImages = 5000;
        m_dlg->m_bSubfolders = 1;
        m_dlg->m_bQuickCount = 1;
        m_dlg->show();
        QCOMPARE(countLine(), "Total image files = 1000 + : " + kFolderLine + "(s)");

        // Clearing the quick count counts in full.
        Click(m_dlg, BuildDlgId::QuickCount);
        QCOMPARE(countLine(), "Total image files = 5000 : " + kFolderLine + "(s)");

        m_counts->folderImages = 12;
        Click(m_dlg, BuildDlgId::Subfolders);
        QCOMPARE(countLine(), "Total image files = 12 : " + kFolderLine);
        QCOMPARE(m_counts->asks.back().subfolders, false);

        // The list side with a list that is not there.
        QTest::keyClick(Control<QComboBox>(m_dlg, BuildDlgId::Kind), Qt::Key_Down);
        QCOMPARE(countLine(),
                 QStringLiteral("Total image files = 0 : Read image files from image list"));
        QVERIFY(Control<QWidget>(m_dlg, BuildDlgId::List)->isVisible());
        QVERIFY(!Control<QWidget>(m_dlg, BuildDlgId::Folder)->isVisible());
        QVERIFY(!Control<QWidget>(m_dlg, BuildDlgId::Subfolders)->isVisible());
    }

    void quickCountTickKeepsTheLine() {
        m_counts->folderImages = 5000;
        m_dlg->show();
        const QString before = countLine();
        const std::size_t asked = m_counts->asks.size();
        Click(m_dlg, BuildDlgId::QuickCount);
        QCOMPARE(m_counts->asks.size(), asked);
        QCOMPARE(countLine(), before);
    }

    void everyEditRecounts() {
        m_dlg->show();
        Type(m_dlg, BuildDlgId::Folder, "/new");
        QCOMPARE(m_counts->asks.back().source, std::string("/new"));
        QVERIFY(m_counts->asks.size() >= 4);  // one count per keystroke
    }

    void browseFolderStartsWhereTheFieldPoints() {
        m_counts->folderImages = 7;
        m_dlg->m_strFolder = "/pics/holiday/";
        m_dlg->show();
        m_prompter->answerChooseFolder("/chosen");
        Click(m_dlg, BuildDlgId::BrowseFolder);
        const auto& call = m_prompter->calls().back();
        QCOMPARE(call.folder.title, std::string("Choose image folder for input."));
        QCOMPARE(call.folder.initialFolder, std::string("/pics/holiday"));
        QCOMPARE(TextOf(m_dlg, BuildDlgId::Folder), QStringLiteral("/chosen"));
        QCOMPARE(m_counts->asks.back().source, std::string("/chosen"));
        QCOMPARE(countLine(), "Total image files = 7 : " + kFolderLine);

        // Empty field: the browse start; cancelling changes nothing.
        Type(m_dlg, BuildDlgId::Folder, "");
        m_prompter->answerChooseFolder(std::nullopt);
        Click(m_dlg, BuildDlgId::BrowseFolder);
        QCOMPARE(m_prompter->calls().back().folder.initialFolder, std::string("/start"));
        QCOMPARE(TextOf(m_dlg, BuildDlgId::Folder), QString());
    }

    void browseListOffersTheListFolderThenTheList() {
        m_counts->listImages = 3;
        m_dlg->m_nSourceKind = 0;
        m_dlg->show();
        m_prompter->answerOpenFile("/lists/mine.lst");
        Click(m_dlg, BuildDlgId::BrowseList);
        FileDialogSpec spec = m_prompter->calls().back().file;
        QCOMPARE(spec.title, std::string("Open (Batch input image list file)"));
        QCOMPARE(spec.filter, std::string("image list (*.lst)|*.lst|All files (*.*)|*.*||"));
        QCOMPARE(spec.defaultExtension, std::string("lst"));
        QCOMPARE(spec.initialName, std::string("*.lst"));
        QCOMPARE(spec.initialFolder, std::string("/lists"));
        QCOMPARE(countLine(),
                 QStringLiteral("Total image files = 3 : Read image files from image list"));

        m_prompter->answerOpenFile(std::nullopt);
        Click(m_dlg, BuildDlgId::BrowseList);
        spec = m_prompter->calls().back().file;
        QCOMPARE(spec.initialName, std::string("/lists/mine.lst"));
        QCOMPARE(spec.initialFolder, std::string("/lists/"));
        QCOMPARE(TextOf(m_dlg, BuildDlgId::List), QStringLiteral("/lists/mine.lst"));
    }

    void editAndHelpGoToTheDesktop() {
        m_dlg->m_nSourceKind = 0;
        m_dlg->m_strListFile = "/lists/a b.lst";
        m_dlg->show();
        Click(m_dlg, BuildDlgId::EditList);
        Click(m_dlg, kIdHelp);
        QCOMPARE(m_desktop->requests.size(), std::size_t(2));
        QCOMPARE(m_desktop->requests[0].what, std::string("start"));
        QVERIFY(QString::fromStdString(m_desktop->requests[0].target).contains("orvex"));
        QCOMPARE(m_desktop->requests[0].args, std::vector<std::string>{"/lists/a b.lst"});
        QCOMPARE(m_desktop->requests[1].target, std::string("builddata.html"));
    }

    void okReturnsTheFieldsCancelKeepsThem() {
        m_counts->folderImages = 2;
        m_dlg->show();
        Type(m_dlg, BuildDlgId::Folder, "/typed");
        Click(m_dlg, BuildDlgId::Subfolders);
        Click(m_dlg, kIdCancel);
        QCOMPARE(m_dlg->m_strFolder, std::string("/pics"));
        QCOMPARE(m_dlg->m_bSubfolders, 0);

        m_dlg->show();
        QCOMPARE(TextOf(m_dlg, BuildDlgId::Folder), QStringLiteral("/pics"));
        Type(m_dlg, BuildDlgId::Folder, "/typed");
        Click(m_dlg, BuildDlgId::Subfolders);
        Click(m_dlg, BuildDlgId::QuickCount);
        Click(m_dlg, kIdOk);
        QCOMPARE(m_dlg->result(), int(QDialog::Accepted));
        QCOMPARE(m_dlg->m_strFolder, std::string("/typed"));
        QCOMPARE(m_dlg->m_bSubfolders, 1);
        QCOMPARE(m_dlg->m_bQuickCount, 1);
        QCOMPARE(m_dlg->m_nSourceKind, 1);
        QCOMPARE(m_dlg->m_strCountLine,
                 "Total image files = 2 : " + kFolderLine.toStdString() + "(s)");
    }

    void countsRealFolders() {
        TempDir dir;
        for (int i = 0; i < 12; ++i) {
            dir.write("p" + std::to_string(i) + ".jpg", "x");
        }
        dir.write("notes.txt", "x");
        dir.write("sub/a.png", "x");
        dir.write("sub/b.gif", "x");
        // The folder counter is overloaded; the window passes the plain one.
        const auto countFolder = [](const std::string& f, bool sub, bool quick) {
            return CountFolderImages(f, sub, quick);
        };
        CBuildDlg dlg(*m_prompter, *m_desktop, countFolder, CountListFile);
        dlg.m_strFolder = dir.path().string();
        dlg.m_strListFile = dir.file("missing.lst");
        dlg.show();
        QCOMPARE(TextOf(&dlg, BuildDlgId::CountLine), "Total image files = 12 : " + kFolderLine);
        Click(&dlg, BuildDlgId::Subfolders);
        QCOMPARE(TextOf(&dlg, BuildDlgId::CountLine),
                 "Total image files = 14 : " + kFolderLine + "(s)");
        QTest::keyClick(Control<QComboBox>(&dlg, BuildDlgId::Kind), Qt::Key_Down);
        QCOMPARE(TextOf(&dlg, BuildDlgId::CountLine),
                 QStringLiteral("Total image files = 0 : Read image files from image list"));
    }
};

int RunBuildDlgTests(int argc, char** argv) {
    BuildDlgTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "build_dlg_test.moc"
