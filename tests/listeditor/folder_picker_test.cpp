#include <QCheckBox>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "control_ids.h"
#include "folder_picker.h"
#include "open_watch.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

// The picker over a temporary tree: alpha/, beta1/, beta2/ and a file.
struct PickerRig {
    TempDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<FolderPicker> picker;
    QString root;

    PickerRig() {
        for (const char* name : {"alpha", "beta1", "beta2"}) {
            fs::create_directories(dir.path() / name);
        }
        dir.write("photo.jpg", "x");
        root = QString::fromStdString(dir.path().string());
        picker = std::make_unique<FolderPicker>(dir.path().string(), prompter);
        picker->show();
    }
    QLineEdit* box() const {
        return FindControl<QLineEdit>(picker.get(), FolderPickerId::FolderBox);
    }
    void type(const QString& text) const { QTest::keyClicks(box(), text); }
    void open() const {
        QTest::mouseClick(FindControl<QPushButton>(picker.get(), FolderPickerId::Open),
                          Qt::LeftButton);
    }
};

class FolderPickerTest : public QObject {
    Q_OBJECT
  private slots:
    void startsInTheInitialFolder();
    void uniqueMatchIsCompletedWithTheAddedPartSelected();
    void twoMatchesAreNotCompleted();
    void enterMovesIntoTheFolder();
    void fileIsRefused();
    void missingFolderIsCreatedWithItsParentsOnYes();
    void missingFolderIsNotCreatedOnNo();
    void creationFailureIsReported();
    void emptyBoxAcceptsTheBrowsedFolder();
    void folderViewNeverOpensFilesForIcons();
};

void FolderPickerTest::startsInTheInitialFolder() {
    PickerRig rig;
    QCOMPARE(rig.box()->text(), rig.root + "/");
    QCOMPARE(rig.picker->windowTitle(), QString("Select Folder"));
    QVERIFY(
        !FindControl<QCheckBox>(rig.picker.get(), FolderPickerId::IncludeSubfolders)->isChecked());
}

void FolderPickerTest::uniqueMatchIsCompletedWithTheAddedPartSelected() {
    PickerRig rig;
    rig.type("al");
    QCOMPARE(rig.box()->text(), rig.root + "/alpha");
    QCOMPARE(rig.box()->selectedText(), QString("pha"));
    rig.type("pha/");  // typing over the selection, then the separator moves in
    QCOMPARE(rig.picker->browsedFolder(), rig.root + "/alpha/");
    QCOMPARE(rig.box()->text(), rig.root + "/alpha/");
}

void FolderPickerTest::twoMatchesAreNotCompleted() {
    PickerRig rig;
    rig.type("be");
    QCOMPARE(rig.box()->text(), rig.root + "/be");
    QVERIFY(!rig.box()->hasSelectedText());
    rig.type("ta2");
    QCOMPARE(rig.box()->text(), rig.root + "/beta2");
    QTest::keyClick(rig.box(), Qt::Key_Backspace);
    QCOMPARE(rig.box()->text(), rig.root + "/beta");  // no completion after a backspace
}

void FolderPickerTest::enterMovesIntoTheFolder() {
    PickerRig rig;
    rig.box()->setText(rig.root + "/beta1");
    QTest::keyClick(rig.box(), Qt::Key_Return);
    QVERIFY(rig.picker->isVisible());
    QCOMPARE(rig.picker->browsedFolder(), rig.root + "/beta1/");
    QCOMPARE(rig.box()->text(), rig.root + "/beta1/");
    QCOMPARE(rig.box()->cursorPosition(), rig.box()->text().size());
}

void FolderPickerTest::fileIsRefused() {
    PickerRig rig;
    rig.box()->setText(rig.root + "/photo.jpg");
    rig.prompter.answerMessage(PromptAnswer::Ok);
    rig.open();
    QCOMPARE(rig.prompter.messageTexts(),
             std::vector<std::string>{(rig.root + "/photo.jpg").toStdString() +
                                      "\nThis is a file not a directory."});
    QVERIFY(rig.picker->isVisible());
    QCOMPARE(rig.picker->result(), int(QDialog::Rejected));
}

void FolderPickerTest::missingFolderIsCreatedWithItsParentsOnYes() {
    PickerRig rig;
    rig.box()->setText("new/deeper/leaf/");  // relative to the folder being browsed
    rig.prompter.answerMessage(PromptAnswer::Yes);
    FindControl<QCheckBox>(rig.picker.get(), FolderPickerId::IncludeSubfolders)->setChecked(true);
    rig.open();
    QCOMPARE(rig.prompter.messageTexts(),
             std::vector<std::string>{"new/deeper/leaf\nThis folder does not exist.\n\nDo you "
                                      "want to create it?"});
    QCOMPARE(rig.prompter.calls()[0].buttons, PromptButtons::YesNo);
    QVERIFY(fs::is_directory(rig.dir.path() / "new" / "deeper" / "leaf"));
    QCOMPARE(rig.picker->result(), int(QDialog::Accepted));
    QCOMPARE(rig.picker->folderPath(), rig.dir.file("new/deeper/leaf"));
    QVERIFY(rig.picker->includeSubfolders());
}

void FolderPickerTest::missingFolderIsNotCreatedOnNo() {
    PickerRig rig;
    rig.box()->setText(rig.root + "/nope");
    rig.prompter.answerMessage(PromptAnswer::No);
    QTest::keyClick(rig.box(), Qt::Key_Enter);
    QVERIFY(!fs::exists(rig.dir.path() / "nope"));
    QCOMPARE(rig.picker->browsedFolder(), rig.root + "/");
    QVERIFY(rig.picker->isVisible());
}

void FolderPickerTest::creationFailureIsReported() {
    PickerRig rig;
    rig.box()->setText(rig.root + "/photo.jpg/sub");  // a file stands where a folder must be
    rig.prompter.answerMessage(PromptAnswer::Yes);
    rig.prompter.answerMessage(PromptAnswer::Ok);
    rig.open();
    QCOMPARE(rig.prompter.messageTexts().back(),
             std::string("You do not have permission\nto create this folder."));
    QVERIFY(rig.picker->isVisible());
    rig.prompter.answerMessage(PromptAnswer::Yes);
    rig.prompter.answerMessage(PromptAnswer::Ok);
    QTest::keyClick(rig.box(), Qt::Key_Return);
    QCOMPARE(rig.prompter.messageTexts().back(),
             std::string("You do not have permission or\notherwise cannot create this folder."));
}

void FolderPickerTest::emptyBoxAcceptsTheBrowsedFolder() {
    PickerRig rig;
    rig.box()->clear();
    rig.open();
    QCOMPARE(rig.picker->result(), int(QDialog::Accepted));
    QCOMPARE(rig.picker->folderPath(), rig.dir.path().string());
    QVERIFY(rig.prompter.calls().empty());
}

// Typing /proc/ must not hang the picker on a special file read for its icon.
void FolderPickerTest::folderViewNeverOpensFilesForIcons() {
    PickerRig rig;
    auto* model = rig.picker->findChild<QFileSystemModel*>();
    QVERIFY(model);
    QCOMPARE(FilesOpenedForIcons(*model->iconProvider(), rig.dir.path().string()),
             std::vector<std::string>{});
}

QTEST_MAIN(FolderPickerTest)
#include "folder_picker_test.moc"
