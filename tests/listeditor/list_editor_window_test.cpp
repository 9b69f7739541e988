#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "editor_fixture.h"
#include "file_types_dlg.h"
#include "full_screen_view.h"
#include "list_file.h"
#include "photo_writers.h"
#include "preview_pane.h"
#include "store_keys.h"
#include "test_images.h"

namespace fs = std::filesystem;

namespace {

// Runs `body` on the next modal window once it is open; gives up after 5 s.
void onNextModal(std::function<void(QWidget*)> body) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, body] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal || ++*tries > 500) {
            timer->stop();
            timer->deleteLater();
            if (modal) {
                body(modal);
            }
        }
    });
    timer->start(10);
}

void drop(QWidget* target, const std::vector<std::string>& paths) {
    QMimeData mime;
    QList<QUrl> urls;
    for (const std::string& p : paths) {
        urls << QUrl::fromLocalFile(QString::fromStdString(p));
    }
    mime.setUrls(urls);
    // A drop reaches only the widget that accepted the drag's entry.
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent event(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Opens b.lst, then a.lst (so a is the first recent list, b the second), and
// adds "/p/c.jpg" to a.
std::pair<std::string, std::string> openTwoListsAndEditTheSecond(EditorRig& rig) {
    const std::string a = rig.dir.write("a.lst", ListFileBytes({"/p/a.jpg"}));
    const std::string b = rig.dir.write("b.lst", ListFileBytes({"/p/b.jpg"}));
    rig.start();
    for (const std::string& path : {b, a}) {
        rig.prompter.answerOpenFile(path);
        rig.click(Id::Open);
    }
    rig.prompter.answerOpenFiles({"/p/c.jpg"});
    rig.click(Id::AddFiles);
    return {a, b};
}

std::string folderOf(const TempDir& dir, const std::string& name) {
    return (dir.path() / name).string();
}

}  // namespace

class ListEditorWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void storedNoForTargaHidesTargaFiles();
    void countsFollowAutoCount();
    void largeCountOffersOnceToTurnAutoCountOff();
    void listOnTheCommandLineIsCountedAsTheSettingsSay();
    void verifyCancelAtFirstMissingDeletesNothing();
    void verifyYesDeletesEveryMissingEntry();
    void readingTheSameListTwiceAddsNothing();
    void savedListReadsBackPrunedWithCommentsSkipped();
    void failedWriteKeepsNamedAndChanged();
    void saveAsAsksBeforeReplacingAList();
    void partlyReadListIsNotReplacedWithoutAQuestion();
    void listsWithLfOrCrLineEndsAreReadWhole();
    void defaultListFolderIsMadeAtStart();
    void recentListsReorderAndForgetMissingFiles();
    void droppedFolderAndFiles();
    void okAsksForAnUnsavedListAndSavesSettings();
    void cancelSavesNoSettingsAndAsksOnlyForUnsavedWork();
    void newOpenRecentAndEscapeAskBeforeDroppingChanges();
    void staleRecentEntryLeavesTheListAlone();
    void movesNotesDeleteAndEnableRules();
    void exploreOpensTheFolderOfTheEntry();
    void installFolderTokenIsReplacedOnOpen();
    void previewFitsSmallImageButFullScreenKeepsItsSize();
    void sidewaysPhotoIsPreviewedUpright();
    void filterDialogChangesTypesOnOkOnly();
    void addFolderThroughThePicker();
};

void ListEditorWindowTest::storedNoForTargaHidesTargaFiles() {
    EditorRig rig;
    rig.store->writeString("Settings", "TGA", "No");
    const std::string tga = rig.dir.write("pics/a.tga", "x");
    const std::string jpg = rig.dir.write("pics/b.jpg", "x");
    rig.dir.write("pics/c.TGA", "x");
    rig.start();
    QCOMPARE(rig.status(), QString("Image file filters set"));

    rig.prompter.answerOpenFiles({tga, jpg});
    rig.click(Id::AddFiles);
    QCOMPARE(rig.entries(), std::vector<std::string>{jpg});
    const FileDialogSpec& spec = rig.prompter.calls().back().file;
    QCOMPARE(spec.title, std::string("Add selected image file(s)"));
    QVERIFY(spec.filter.find("TGA") == std::string::npos);
    QCOMPARE(rig.dlg->settings().lastBatchFile, folderOf(rig.dir, "pics/"));

    drop(rig.dlg.get(), {tga});
    QCOMPARE(rig.entries().size(), size_t{1});
    rig.addFolder(folderOf(rig.dir, "pics"), false);
    QCOMPARE(rig.status(), QString("1 Folders:  2 Files"));
    QCOMPARE(rig.prompter.unexpectedCalls(), 0);
}

void ListEditorWindowTest::countsFollowAutoCount() {
    EditorRig rig;
    for (const char* name : {"t/a.jpg", "t/b.png", "t/notes.txt", "t/sub/c.gif", "u/d.bmp"}) {
        rig.dir.write(name, "x");
    }
    rig.start();
    QVERIFY(rig.action(Id::MenuAutoCount)->isChecked());
    rig.addFolder(folderOf(rig.dir, "t"), false);
    QCOMPARE(rig.entries(), std::vector<std::string>{folderOf(rig.dir, "t/ (no subfolders)")});
    QCOMPARE(rig.status(), QString("1 Folders:  2 Files"));
    rig.click(Id::IncludeSubfolders);  // the only entry takes the note without being selected
    QCOMPARE(rig.status(), QString("1 Folders:  3 Files"));

    rig.trigger(Id::MenuAutoCount);
    QVERIFY(!rig.action(Id::MenuAutoCount)->isChecked());
    rig.addFolder(folderOf(rig.dir, "u"), true);
    QCOMPARE(rig.status(), QString("0 Folders:  0 Files"));
    rig.prompter.answerOpenFiles({rig.dir.write("v/e.jpg", "x")});
    rig.click(Id::AddFiles);
    QCOMPARE(rig.status(), QString());
    rig.click(Id::GetCount);
    QCOMPARE(rig.status(), QString("2 Folders:  5 Files"));
    rig.trigger(Id::MenuAutoCount);
    QCOMPARE(rig.status(), QString("2 Folders:  5 Files"));
}

void ListEditorWindowTest::largeCountOffersOnceToTurnAutoCountOff() {
    EditorRig rig;
    const std::string big = rig.dir.file("big");
    fs::create_directories(big);
    for (int i = 0; i < 2001; ++i) {
        std::ofstream(big + "/" + std::to_string(i) + ".jpg");
    }
    rig.start();
    rig.prompter.answerMessage(PromptAnswer::Ok);
    rig.addFolder(big, false);
    QCOMPARE(rig.status(), QString("1 Folders:  2001 Files"));
    QCOMPARE(rig.prompter.calls().back().caption, std::string("Information"));
    QCOMPARE(rig.prompter.calls().back().buttons, PromptButtons::OkCancel);
    QVERIFY(!rig.action(Id::MenuAutoCount)->isChecked());
    rig.trigger(Id::MenuAutoCount);  // switching it on counts again, but the hint came once
    QCOMPARE(rig.prompter.messageTexts().size(), size_t{1});
    QCOMPARE(rig.prompter.unexpectedCalls(), 0);
}

void ListEditorWindowTest::listOnTheCommandLineIsCountedAsTheSettingsSay() {
    TempDir pictures;
    const std::string big = pictures.file("big");
    fs::create_directories(big);
    for (int i = 0; i < 2001; ++i) {
        std::ofstream(big + "/" + std::to_string(i) + ".jpg");
    }
    const std::string list = pictures.write("big.lst", ListFileBytes({big + "/ (no subfolders)"}));
    {
        EditorRig rig;  // stored off: no walk, so no hint
        rig.store->writeString("Dialogs", "AutoCnt", "No");
        rig.start({.commandLineList = list});
        QVERIFY(rig.prompter.calls().empty());
        QVERIFY(!rig.action(Id::MenuAutoCount)->isChecked());
    }
    EditorRig rig;  // stored on: the hint's answer is what stays
    rig.store->writeString("Dialogs", "AutoCnt", "Yes");
    rig.prompter.answerMessage(PromptAnswer::Ok);
    rig.start({.commandLineList = list});
    QCOMPARE(rig.prompter.calls().size(), size_t{1});
    QCOMPARE(rig.prompter.calls().back().caption, std::string("Information"));
    QVERIFY(!rig.dlg->settings().autoCount);
    QVERIFY(!rig.action(Id::MenuAutoCount)->isChecked());
}

void ListEditorWindowTest::verifyCancelAtFirstMissingDeletesNothing() {
    EditorRig rig;
    const std::string present = rig.dir.write("p/a.jpg", "x");
    const std::vector<std::string> entries = {present, rig.dir.file("gone/ (no subfolders)"),
                                              rig.dir.file("gone.jpg")};
    const std::string list = rig.dir.write("l.lst", ListFileBytes(entries));
    rig.start({.commandLineList = list});
    QVERIFY(rig.dlg->named());
    rig.prompter.answerMessage(PromptAnswer::Cancel);
    rig.prompter.answerMessage(PromptAnswer::Ok);
    rig.click(Id::Verify);
    const auto& calls = rig.prompter.calls();
    QCOMPARE(calls.size(), size_t{2});
    QCOMPARE(calls[0].caption, std::string("Delete references not found"));
    QCOMPARE(calls[0].text, rig.dir.file("gone.jpg") +
                                ": not found.\nYes = delete references to all files or folders "
                                "not found.\nNo = delete this reference only\nCancel = delete "
                                "nothing");
    QCOMPARE(calls[0].buttons, PromptButtons::YesNoCancel);
    QCOMPARE(calls[1].caption, std::string("Files not found"));
    QCOMPARE(calls[1].text,
             std::string("Number of files not found: 2\nNumber of references deleted: 0"));
    QCOMPARE(rig.entries(), entries);
    QVERIFY(!rig.dlg->changed());
}

void ListEditorWindowTest::verifyYesDeletesEveryMissingEntry() {
    EditorRig rig;
    const std::string present = rig.dir.write("p/a.jpg", "x");
    const std::string list = rig.dir.write(
        "l.lst", ListFileBytes({rig.dir.file("g1.jpg"), present, rig.dir.file("g2.jpg"),
                                rig.dir.file("g3.jpg"), present}));
    rig.start({.commandLineList = list});
    rig.prompter.answerMessage(PromptAnswer::No);   // g3: this one only
    rig.prompter.answerMessage(PromptAnswer::Yes);  // g2: and all further ones
    rig.prompter.answerMessage(PromptAnswer::Ok);
    rig.click(Id::Verify);
    QCOMPARE(rig.entries(), std::vector<std::string>{present});
    QCOMPARE(rig.prompter.messageTexts().back(),
             std::string("Number of files not found: 3\nNumber of references deleted: 3"));
    QVERIFY(rig.dlg->changed());

    rig.prompter.answerMessage(PromptAnswer::Ok);
    rig.click(Id::Verify);
    QCOMPARE(rig.prompter.calls().back().caption, std::string("Files verified"));
    QCOMPARE(rig.prompter.calls().back().text, std::string("All files found"));
    QCOMPARE(rig.prompter.unexpectedCalls(), 0);
}

void ListEditorWindowTest::readingTheSameListTwiceAddsNothing() {
    EditorRig rig;
    const std::vector<std::string> lines = {"/p/a.jpg", "/p/b/ (no subfolders)", "/p/a.jpg"};
    const std::string list = rig.dir.write("l.lst", ListFileBytes(lines));
    rig.start();
    rig.prompter.answerOpenFile(list);
    rig.click(Id::Open);
    QCOMPARE(rig.entries(), lines);  // an empty list takes every line
    QCOMPARE(rig.prompter.calls().back().file.title,
             std::string("Open selected Image list file. Replaces current Image list"));
    QCOMPARE(FindControl<QLineEdit>(rig.dlg.get(), Id::ListName)->text(), QString("l"));
    rig.prompter.answerOpenFile(list);
    rig.click(Id::AddImageList);
    QCOMPARE(rig.entries(), lines);
    QCOMPARE(rig.prompter.unexpectedCalls(), 0);
}

void ListEditorWindowTest::savedListReadsBackPrunedWithCommentsSkipped() {
    EditorRig rig;
    rig.dir.write("pics/a.jpg", "x");
    rig.dir.write("pics/sub/x.jpg", "x");
    rig.start();
    const std::string pics = folderOf(rig.dir, "pics");
    rig.addFolder(pics, true);
    rig.prompter.answerOpenFiles({pics + "/sub/x.jpg", "/elsewhere/y.png"});
    rig.click(Id::AddFiles);
    QVERIFY(!rig.dlg->named());
    const std::string path = rig.dir.file("saved.lst");
    rig.prompter.answerSaveFile(path);
    rig.click(Id::SaveAs);
    const std::vector<std::string> kept = {pics + "/ (include subfolders)", "/elsewhere/y.png"};
    QCOMPARE(rig.entries(), kept);
    QVERIFY(rig.dlg->named());
    QVERIFY(!rig.dlg->changed());
    QCOMPARE(rig.prompter.calls().back().file.initialName, std::string("Image_list.lst"));
    const std::string bytes = ReadFileBytes(path);
    QVERIFY(bytes.starts_with("START\r\n; ; = Comment. Do not edit. To be run as a script.\r\n"));
    std::vector<std::string> back;
    QCOMPARE(MergeListFile(path, back, rig.prompter), 1);
    QCOMPARE(back, kept);

    // The finder's reader takes the same file: comments skipped, the folder walked.
    DatafileSlot slot;
    QCOMPARE(ReadListFile(path, slot, rig.prompter), 1);
    std::vector<std::string> names = slot.paths();
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected = {"/elsewhere/y.png", pics + "/a.jpg", pics + "/sub/x.jpg"};
    std::sort(expected.begin(), expected.end());
    QCOMPARE(names, expected);
    QCOMPARE(rig.prompter.unexpectedCalls(), 0);
}

// The dialog's own check never saw the ".lst" added to a bare name.
void ListEditorWindowTest::saveAsAsksBeforeReplacingAList() {
    EditorRig rig;
    const std::string other = rig.dir.write("mine.lst", ListFileBytes({"/p/keep.jpg"}));
    const std::string before = ReadFileBytes(other);
    rig.start();
    rig.prompter.answerOpenFiles({"/p/b.jpg"});
    rig.click(Id::AddFiles);
    rig.prompter.answerSaveFile(rig.dir.file("mine"));
    rig.prompter.answerMessage(PromptAnswer::No);
    rig.prompter.answerSaveFile(std::nullopt);
    rig.click(Id::SaveAs);
    QVERIFY(rig.prompter.allAnswersUsed());
    QCOMPARE(rig.prompter.messageTexts().back(),
             std::string("mine.lst already exists.\nDo you want to replace it?"));
    QCOMPARE(ReadFileBytes(other), before);
    QVERIFY(!fs::exists(rig.dir.file("mine")));
    QVERIFY(!rig.dlg->named());

    rig.prompter.answerSaveFile(rig.dir.file("mine"));
    rig.prompter.answerMessage(PromptAnswer::Yes);
    rig.click(Id::SaveAs);
    std::vector<std::string> back;
    QCOMPARE(MergeListFile(other, back, rig.prompter), 1);
    QCOMPARE(back, std::vector<std::string>{"/p/b.jpg"});
    QCOMPARE(rig.prompter.unexpectedCalls(), 0);
    QVERIFY(rig.prompter.allAnswersUsed());
}

void ListEditorWindowTest::failedWriteKeepsNamedAndChanged() {
    EditorRig rig;
    const std::string list = rig.dir.write("lists/l.lst", ListFileBytes({"/p/a.jpg"}));
    rig.start({.commandLineList = list});
    rig.prompter.answerOpenFiles({"/p/b.jpg"});
    rig.click(Id::AddFiles);
    QVERIFY(rig.dlg->changed());
    fs::remove_all(rig.dir.file("lists"));
    rig.dir.write("lists", "a file where the folder was");

    rig.prompter.answerMessage(PromptAnswer::Yes);  // save it?
    rig.prompter.answerMessage(PromptAnswer::Ok);   // the writer's report
    rig.prompter.answerSaveFile(std::nullopt);      // SaveAs offered instead, cancelled
    rig.click(Id::Ok);
    QVERIFY2(rig.dlg->isVisible(), "a list the user wanted saved is not dropped");
    QVERIFY(rig.dlg->named());
    QVERIFY(rig.dlg->changed());
    QCOMPARE(rig.dlg->listPath(), list);
    QVERIFY(rig.prompter.allAnswersUsed());
    QVERIFY(rig.prompter.calls().back().kind == ScriptedPrompter::Kind::SaveFile);
}

void ListEditorWindowTest::partlyReadListIsNotReplacedWithoutAQuestion() {
    EditorRig rig;
    // No END line, and the last line has no line end: the reader drops it.
    const std::string list = rig.dir.write("v.lst", "START\r\n/x/a.jpg\r\n/x/b.jpg");
    const std::string before = ReadFileBytes(list);
    rig.start({.commandLineList = list});
    QCOMPARE(rig.entries(), std::vector<std::string>{"/x/a.jpg"});
    rig.prompter.answerOpenFiles({"/x/c.jpg"});
    rig.click(Id::AddFiles);

    rig.prompter.answerMessage(PromptAnswer::No);  // keep the file
    rig.prompter.answerSaveFile(std::nullopt);     // and save nowhere else
    const std::size_t question = rig.prompter.calls().size();
    rig.click(Id::Save);
    QVERIFY2(rig.prompter.calls().size() > question, "Save replaced the file unasked");
    QCOMPARE(rig.prompter.calls().at(question).text,
             list +
                 "\nends without its END line, so it was not read as a whole image list:\n"
                 "its last line may be missing from the list shown.\n\n"
                 "Replace the file with the list shown?");
    QCOMPARE(rig.prompter.calls().at(question).buttons, PromptButtons::YesNo);
    QCOMPARE(ReadFileBytes(list), before);
    QVERIFY(rig.dlg->changed());

    rig.prompter.answerMessage(PromptAnswer::Yes);
    rig.click(Id::Save);
    std::vector<std::string> back;
    QCOMPARE(MergeListFile(list, back, rig.prompter), 1);
    QCOMPARE(back, (std::vector<std::string>{"/x/a.jpg", "/x/c.jpg"}));
    // The file is whole now: the next save asks nothing.
    const std::size_t calls = rig.prompter.calls().size();
    rig.prompter.answerOpenFiles({"/x/d.jpg"});
    rig.click(Id::AddFiles);
    rig.click(Id::Save);
    QCOMPARE(rig.prompter.calls().size(), calls + 1);
    QCOMPARE(rig.prompter.unexpectedCalls(), 0);
}

// Lists written on Linux by hand or by scripts end their lines with LF.
void ListEditorWindowTest::listsWithLfOrCrLineEndsAreReadWhole() {
    for (const char* lineEnd : {"\n", "\r"}) {
        const std::string end = lineEnd;
        EditorRig rig;
        const std::string list = rig.dir.write(
            "v.lst", "START" + end + "/x/a.jpg" + end + "/x/b.jpg" + end + "END" + end);
        rig.start({.commandLineList = list});
        QCOMPARE(rig.entries(), (std::vector<std::string>{"/x/a.jpg", "/x/b.jpg"}));

        // Read whole, so Save replaces it without a question, in CR LF.
        rig.prompter.answerOpenFiles({"/x/c.jpg"});
        rig.click(Id::AddFiles);
        rig.click(Id::Save);
        QCOMPARE(ReadFileBytes(list), SavedListBytes({"/x/a.jpg", "/x/b.jpg", "/x/c.jpg"}));
        QVERIFY(!rig.dlg->changed());
        QCOMPARE(rig.prompter.unexpectedCalls(), 0);
    }
}

// A missing folder would open the dialogs in its parent with its name typed in.
void ListEditorWindowTest::defaultListFolderIsMadeAtStart() {
    EditorRig rig;
    const std::string lists = rig.dir.file("data/lists");
    rig.store->writeString(StoreKey::kFolders, StoreValue::kListPath, lists);
    rig.start();
    QVERIFY(fs::is_directory(lists));

    fs::remove(lists);  // and again when a dialog needs it
    rig.prompter.answerOpenFile(std::nullopt);
    rig.click(Id::Open);
    QCOMPARE(rig.prompter.calls().back().file.initialFolder, lists);
    QVERIFY(fs::is_directory(lists));

    rig.prompter.answerOpenFiles({"/p/a.jpg"});
    rig.click(Id::AddFiles);
    rig.prompter.answerSaveFile(std::nullopt);
    rig.click(Id::SaveAs);
    QCOMPARE(rig.prompter.calls().back().file.initialFolder, lists);
    QCOMPARE(rig.prompter.unexpectedCalls(), 0);
}

void ListEditorWindowTest::recentListsReorderAndForgetMissingFiles() {
    EditorRig rig;
    const std::string a = rig.dir.write("a.lst", ListFileBytes({"/p/a.jpg"}));
    const std::string b = rig.dir.write("b.lst", ListFileBytes({"/p/b.jpg"}));
    rig.start();
    QVERIFY(!rig.action(Id::MenuRecent1)->isEnabled());
    QCOMPARE(rig.action(Id::MenuRecent1)->text(), QString("Recent image lists"));
    for (const std::string& path : {a, b}) {
        rig.prompter.answerOpenFile(path);
        rig.trigger(Id::MenuOpen);
    }
    QCOMPARE(rig.action(Id::MenuRecent1)->text(), QString("b"));
    QCOMPARE(rig.action(Id::MenuRecent2)->text(), QString("a"));
    QVERIFY(!rig.action(Id::MenuRecent3)->isVisible());
    rig.trigger(Id::MenuRecent2);  // the second becomes the first
    QCOMPARE(rig.entries(), std::vector<std::string>{"/p/a.jpg"});
    QCOMPARE(rig.action(Id::MenuRecent1)->text(), QString("a"));
    QCOMPARE(rig.action(Id::MenuRecent2)->text(), QString("b"));

    fs::remove(b);
    rig.prompter.answerMessage(PromptAnswer::Ok);
    rig.trigger(Id::MenuRecent2);
    QCOMPARE(rig.prompter.messageTexts().back(), "No file found at " + b);
    QCOMPARE(rig.dlg->settings().recent.at(0), a);
    QCOMPARE(rig.dlg->settings().recent.at(1), std::string());
    QVERIFY(!rig.action(Id::MenuRecent2)->isVisible());
}

void ListEditorWindowTest::droppedFolderAndFiles() {
    EditorRig rig;
    const std::string folder = folderOf(rig.dir, "holiday.2023");
    fs::create_directories(folder);
    const std::string jpg = rig.dir.write("x.jpg", "x");
    const std::string txt = rig.dir.write("y.txt", "x");
    rig.start();
    drop(rig.dlg.get(), {folder});
    QCOMPARE(rig.entries(), std::vector<std::string>{folder + "/ (no subfolders)"});
    drop(rig.dlg.get(), {folder, jpg, txt});
    QCOMPARE(rig.entries(), (std::vector<std::string>{folder + "/ (no subfolders)", jpg}));
}

void ListEditorWindowTest::okAsksForAnUnsavedListAndSavesSettings() {
    EditorRig rig;
    rig.start();
    rig.prompter.answerOpenFiles({"/p/a.jpg"});
    rig.click(Id::AddFiles);
    rig.prompter.answerMessage(PromptAnswer::No);
    rig.click(Id::Ok);
    QCOMPARE(rig.prompter.calls().back().caption, std::string("Unsaved list"));
    QCOMPARE(rig.prompter.calls().back().text,
             std::string("You have not saved your Image list. Do you widh to save it?"));
    QVERIFY(!rig.dlg->isVisible());
    QCOMPARE(rig.dlg->result(), int(QDialog::Accepted));
    QCOMPARE(rig.store->readString("Dialogs", "LastBatchFile"), std::string("/p/"));
    QCOMPARE(rig.store->readString("WinStateOrvex", "SavedState"), std::string("Yes"));
    QVERIFY(rig.store->readBinary("WinStateOrvex", "Right"));
}

void ListEditorWindowTest::cancelSavesNoSettingsAndAsksOnlyForUnsavedWork() {
    {
        EditorRig rig;
        rig.start();
        rig.click(Id::Cancel);
        QVERIFY(!rig.dlg->isVisible());
        QVERIFY(rig.prompter.messageTexts().empty());
    }
    EditorRig rig;
    rig.start();
    rig.prompter.answerOpenFiles({"/p/a.jpg"});
    rig.click(Id::AddFiles);
    rig.prompter.answerMessage(PromptAnswer::No);
    rig.click(Id::Cancel);
    QVERIFY(!rig.dlg->isVisible());
    QCOMPARE(
        rig.prompter.messageTexts(),
        std::vector<std::string>{"You have not saved your Image list. Do you widh to save it?"});
    QVERIFY(!rig.store->readString("Dialogs", "AutoCnt"));
    QVERIFY(!rig.store->readString("WinStateOrvex", "SavedState"));
}

void ListEditorWindowTest::newOpenRecentAndEscapeAskBeforeDroppingChanges() {
    EditorRig rig;
    const auto [a, b] = openTwoListsAndEditTheSecond(rig);
    const std::vector<std::string> edited = {"/p/a.jpg", "/p/c.jpg"};

    // Cancel keeps the changed list whichever way it was about to go.
    rig.prompter.answerMessage(PromptAnswer::Cancel);
    rig.click(Id::New);
    rig.prompter.answerOpenFile(b);
    rig.prompter.answerMessage(PromptAnswer::Cancel);
    rig.trigger(Id::MenuOpen);
    rig.prompter.answerMessage(PromptAnswer::Cancel);
    rig.trigger(Id::MenuRecent2);
    rig.prompter.answerMessage(PromptAnswer::Cancel);
    QTest::keyClick(rig.dlg.get(), Qt::Key_Escape);
    QVERIFY(rig.dlg->isVisible());
    QCOMPARE(rig.entries(), edited);
    QVERIFY(rig.dlg->changed());
    const auto questions =
        std::count_if(rig.prompter.calls().begin(), rig.prompter.calls().end(), [](const auto& c) {
            return c.caption == "Unsaved list" && c.buttons == PromptButtons::YesNoCancel &&
                   c.text == "You have not saved your changed Image list. Do you widh to save it?";
        });
    QCOMPARE(questions, 4);

    // Yes writes the changes before the other list takes their place.
    rig.prompter.answerMessage(PromptAnswer::Yes);
    rig.trigger(Id::MenuRecent2);
    QCOMPARE(rig.entries(), std::vector<std::string>{"/p/b.jpg"});
    std::vector<std::string> saved;
    QCOMPARE(MergeListFile(a, saved, rig.prompter), 1);
    QCOMPARE(saved, edited);

    // No drops them.
    const std::string before = ReadFileBytes(b);
    rig.prompter.answerOpenFiles({"/p/d.jpg"});
    rig.click(Id::AddFiles);
    rig.prompter.answerMessage(PromptAnswer::No);
    QTest::keyClick(rig.dlg.get(), Qt::Key_Escape);
    QVERIFY(!rig.dlg->isVisible());
    QCOMPARE(ReadFileBytes(b), before);
    QCOMPARE(rig.prompter.unexpectedCalls(), 0);
}

void ListEditorWindowTest::staleRecentEntryLeavesTheListAlone() {
    EditorRig rig;
    const auto [a, b] = openTwoListsAndEditTheSecond(rig);
    fs::remove(b);
    rig.prompter.answerMessage(PromptAnswer::Ok);
    rig.trigger(Id::MenuRecent2);
    QCOMPARE(rig.prompter.messageTexts(), std::vector<std::string>{"No file found at " + b});
    QCOMPARE(rig.entries(), (std::vector<std::string>{"/p/a.jpg", "/p/c.jpg"}));
    QCOMPARE(rig.dlg->listPath(), a);
    QVERIFY(rig.dlg->changed());
    QVERIFY(!rig.action(Id::MenuRecent2)->isVisible());
}

void ListEditorWindowTest::movesNotesDeleteAndEnableRules() {
    EditorRig rig;
    rig.start();
    for (int id : {Id::DeleteSelection, Id::New, Id::Verify, Id::Save, Id::SaveAs, Id::GetCount}) {
        QVERIFY(!rig.button(id)->isEnabled());
    }
    QVERIFY(!rig.action(Id::MenuSave)->isEnabled());
    rig.prompter.answerOpenFiles({"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"});
    rig.click(Id::AddFiles);
    QVERIFY(rig.button(Id::Save)->isEnabled());
    QVERIFY2(!rig.button(Id::Up)->isVisible(), "nothing selected");
    rig.addFolder("/q", false);
    QCOMPARE(rig.entries()[3], std::string("/q/ (no subfolders)"));

    rig.select({0, 3});
    QVERIFY(rig.button(Id::Up)->isVisible());
    rig.click(Id::IncludeSubfolders);  // the file keeps no note; the folder takes it
    QCOMPARE(rig.entries()[0], std::string("/p/a.jpg"));
    QCOMPARE(rig.entries()[3], std::string("/q/ (include subfolders)"));

    const std::string q = "/q/ (include subfolders)";
    rig.select({1, 3});
    rig.click(Id::Up);
    QCOMPARE(rig.entries(), (std::vector<std::string>{"/p/b.jpg", "/p/a.jpg", q, "/p/c.jpg"}));
    rig.click(Id::Up);  // the first row is selected now: nothing moves
    QCOMPARE(rig.entries(), (std::vector<std::string>{"/p/b.jpg", "/p/a.jpg", q, "/p/c.jpg"}));
    rig.click(Id::Down);
    QCOMPARE(rig.entries(), (std::vector<std::string>{"/p/a.jpg", "/p/b.jpg", "/p/c.jpg", q}));
    rig.click(Id::Down);  // the last row is selected now
    QCOMPARE(rig.entries()[3], q);

    rig.select({0, 2});
    rig.click(Id::DeleteSelection);
    QCOMPARE(rig.entries(), (std::vector<std::string>{"/p/b.jpg", q}));
    rig.prompter.answerMessage(PromptAnswer::No);  // the list may go
    rig.click(Id::New);
    QVERIFY(rig.entries().empty());
    QVERIFY(!rig.button(Id::DeleteSelection)->isEnabled());
}

void ListEditorWindowTest::exploreOpensTheFolderOfTheEntry() {
    EditorRig rig;
    rig.start();
    rig.prompter.answerOpenFiles({"/p/x.y/a.jpg"});
    rig.click(Id::AddFiles);
    rig.addFolder("/q.r", true);
    rig.select({});
    rig.click(Id::Explore);
    rig.select({0});
    rig.click(Id::Explore);
    rig.select({1});
    rig.trigger(Id::MenuExplore);
    QCOMPARE(rig.desktop.requests.size(), size_t{3});
    QCOMPARE(rig.desktop.requests[0].target, QDir::homePath().toStdString());
    QCOMPARE(rig.desktop.requests[1].target, std::string("/p/x.y/"));
    QCOMPARE(rig.desktop.requests[2].target, std::string("/q.r/"));
}

void ListEditorWindowTest::installFolderTokenIsReplacedOnOpen() {
    EditorRig rig;
    const std::string list =
        rig.dir.write("l.lst", ListFileBytes({"<INSTALL_FOLDER>/samples/a.jpg", "/p/b.jpg"}));
    rig.start({.programFolder = "/opt/orvex"});
    rig.prompter.answerOpenFile(list);
    rig.click(Id::Open);
    QCOMPARE(rig.entries(), (std::vector<std::string>{"/opt/orvex/samples/a.jpg", "/p/b.jpg"}));
}

void ListEditorWindowTest::previewFitsSmallImageButFullScreenKeepsItsSize() {
    EditorRig rig;
    const std::string picture = rig.dir.file("instructions.png");
    QVERIFY(WriteImage(SolidImage(40, 30, Qt::white), picture, "PNG"));
    const std::string small = rig.dir.file("small.png");
    QVERIFY(WriteImage(GradientImage(10, 10, Qt::red, Qt::blue), small, "PNG"));
    rig.start({.instructionPicture = QString::fromStdString(picture)});
    auto* pane = FindControl<PreviewPane>(rig.dlg.get(), Id::Preview);
    auto* size = FindControl<QLineEdit>(rig.dlg.get(), Id::SizeLabel);
    auto* paneMenu = rig.dlg->findChild<QMenu*>(ControlName(Id::PaneMenu));
    rig.prompter.answerOpenFiles({small});
    rig.click(Id::AddFiles);
    rig.addFolder(folderOf(rig.dir, "folder"), false);

    rig.select({0});  // a selection shows the instruction picture
    QVERIFY(!pane->imageSize().isEmpty());
    QCOMPARE(size->text(), QString());
    QTest::mouseClick(pane, Qt::RightButton);
    QVERIFY(!paneMenu->isVisible());

    const QRect row0 = rig.list()->visualRect(rig.list()->model()->index(0, 0));
    QTest::mouseClick(rig.list()->viewport(), Qt::LeftButton, {}, row0.center());
    QTest::mouseDClick(rig.list()->viewport(), Qt::LeftButton, {}, row0.center());
    QCOMPARE(size->text(), QString("10 x 10"));
    const QSize fitted = pane->imageSize();
    QCOMPARE(fitted.width(), fitted.height());
    QVERIFY(fitted.width() == pane->width() - 4 || fitted.height() == pane->height() - 4);

    // Moving the caret alone leaves the selection, and so the preview, as it is.
    rig.list()->selectionModel()->setCurrentIndex(rig.list()->model()->index(1, 0),
                                                  QItemSelectionModel::NoUpdate);
    rig.trigger(Id::MenuViewThumbnail);  // a folder entry cannot be read: nothing changes
    QCOMPARE(size->text(), QString("10 x 10"));
    QCOMPARE(pane->imageSize(), fitted);
    QTest::mouseClick(pane, Qt::RightButton);
    QTRY_VERIFY(paneMenu->isVisible());
    paneMenu->hide();

    QSize shown;
    onNextModal([&shown](QWidget* view) {
        auto* frame = FindControl<FullScreenFrame>(view, FullScreenId::Frame);
        if (frame) {
            if (QTest::qWaitFor([frame] { return !frame->shownSize().isEmpty(); }, 2000)) {
                shown = frame->shownSize();
            }
        }
        view->close();
    });
    rig.trigger(Id::MenuPaneFullScreen);
    QCOMPARE(shown, QSize(10, 10));

    rig.prompter.answerMessage(PromptAnswer::No);  // the list may go
    rig.click(Id::New);                            // New clears the preview
    QVERIFY(pane->imageSize().isEmpty());
    QCOMPARE(size->text(), QString());
}

// A camera original stored sideways with the "turn clockwise" tag: the pane,
// the size label and the full-screen view show it upright.
void ListEditorWindowTest::sidewaysPhotoIsPreviewedUpright() {
    EditorRig rig;
    // Upright: 30 x 60, red at the top; stored turned back a quarter.
    const QImage upright =
        GradientImage(60, 30, Qt::red, Qt::blue).transformed(QTransform().rotate(90));
    const std::string camera = rig.dir.write(
        "camera.jpg",
        WithExifOrientation(JpegBytes(upright.transformed(QTransform().rotate(270))), 6));
    rig.start();
    auto* pane = FindControl<PreviewPane>(rig.dlg.get(), Id::Preview);
    auto* size = FindControl<QLineEdit>(rig.dlg.get(), Id::SizeLabel);
    rig.prompter.answerOpenFiles({camera});
    rig.click(Id::AddFiles);
    rig.select({0});
    rig.trigger(Id::MenuViewThumbnail);
    QCOMPARE(size->text(), QString("30 x 60"));
    const QSize fitted = pane->imageSize();
    QCOMPARE(fitted.height(), 2 * fitted.width());
    const QImage shot = pane->grab().toImage();
    const QPoint centre = pane->rect().center();
    const QColor top = shot.pixelColor(centre.x(), centre.y() - fitted.height() / 2 + 3);
    const QColor bottom = shot.pixelColor(centre.x(), centre.y() + fitted.height() / 2 - 3);
    QVERIFY2(top.red() > 150 && top.blue() < 100, qPrintable(top.name()));
    QVERIFY2(bottom.blue() > 150 && bottom.red() < 100, qPrintable(bottom.name()));

    QSize shown;
    onNextModal([&shown](QWidget* view) {
        auto* frame = FindControl<FullScreenFrame>(view, FullScreenId::Frame);
        if (frame && QTest::qWaitFor([frame] { return !frame->shownSize().isEmpty(); }, 2000)) {
            shown = frame->shownSize();
        }
        view->close();
    });
    rig.trigger(Id::MenuPaneFullScreen);
    QCOMPARE(shown, QSize(30, 60));
}

void ListEditorWindowTest::filterDialogChangesTypesOnOkOnly() {
    EditorRig rig;
    rig.start();
    QCOMPARE(rig.status(), QString());
    onNextModal([](QWidget* dlg) {
        FindControl<QCheckBox>(dlg, FileTypesId::Gif)->setChecked(false);
        QTest::mouseClick(FindControl<QPushButton>(dlg, FileTypesId::Cancel), Qt::LeftButton);
    });
    rig.trigger(Id::MenuFilterTypes);
    QVERIFY(rig.dlg->settings().types.gif);
    QString title;
    bool rawShown = true;
    QStringList newTypes;
    onNextModal([&](QWidget* dlg) {
        title = dlg->windowTitle();
        rawShown = FindControl<QCheckBox>(dlg, FileTypesId::Raw)->isChecked();
        for (int id : {FileTypesId::Heic, FileTypesId::Avif, FileTypesId::Webp, FileTypesId::Jxl}) {
            auto* box = FindControl<QCheckBox>(dlg, id);
            newTypes << box->text() + (box->isChecked() ? "+" : "-");
        }
        FindControl<QCheckBox>(dlg, FileTypesId::Gif)->setChecked(false);
        FindControl<QCheckBox>(dlg, FileTypesId::Raw)->setChecked(true);
        FindControl<QCheckBox>(dlg, FileTypesId::Webp)->setChecked(false);
        QTest::mouseClick(FindControl<QPushButton>(dlg, FileTypesId::Ok), Qt::LeftButton);
    });
    rig.trigger(Id::MenuFilterTypes);
    QCOMPARE(title, QString("Use image types"));
    QVERIFY(!rawShown);
    QCOMPARE(newTypes, QStringList({"HEIC HEIF+", "AVIF+", "WebP+", "JPEG XL+"}));
    QVERIFY(!rig.dlg->settings().types.gif);
    QVERIFY(rig.dlg->settings().types.raw);
    QVERIFY(!rig.dlg->settings().types.webp);
    QCOMPARE(rig.status(), QString("Image file filters set"));

    // The add-files dialog offers what was chosen and takes only those files.
    rig.prompter.answerOpenFiles({"/p/a.gif", "/p/b.NEF", "/p/c.webp", "/p/d.heic", "/p/e.jpg"});
    rig.click(Id::AddFiles);
    const std::string& filter = rig.prompter.calls().back().file.filter;
    QVERIFY(
        filter.starts_with("Image Files(jpg,png,tif,bmp,pcx,tga,wmf,emf,psd,heic,heif,avif,"
                           "jxl,raw)|"));
    QCOMPARE(filter.find("WEBP"), std::string::npos);
    QCOMPARE(rig.entries(), (std::vector<std::string>{"/p/b.NEF", "/p/d.heic", "/p/e.jpg"}));

    // The camera switch is a real choice: it comes back after a restart.
    rig.prompter.answerMessage(PromptAnswer::No);  // the list may go
    rig.click(Id::Ok);
    rig.start();
    QVERIFY(rig.dlg->settings().types.raw);
    QVERIFY(!rig.dlg->settings().types.webp);
}

void ListEditorWindowTest::addFolderThroughThePicker() {
    EditorRig rig;
    const std::string target = folderOf(rig.dir, "shots");
    fs::create_directories(target);
    // No picker override: the real dialog runs.
    rig.dlg = std::make_unique<CListEditorDlg>(*rig.store, rig.prompter, rig.desktop);
    rig.dlg->show();
    QString title;
    onNextModal([&](QWidget* picker) {
        title = picker->windowTitle();
        auto* box = FindControl<QLineEdit>(picker, FolderPickerId::FolderBox);
        box->clear();
        QTest::keyClicks(box, QString::fromStdString(target));
        FindControl<QCheckBox>(picker, FolderPickerId::IncludeSubfolders)->setChecked(true);
        QTest::mouseClick(FindControl<QPushButton>(picker, FolderPickerId::Open), Qt::LeftButton);
    });
    rig.click(Id::AddFolder);
    QCOMPARE(title, QString("Open folder to add to the Image list"));
    QCOMPARE(rig.entries(), std::vector<std::string>{target + "/ (include subfolders)"});
    QCOMPARE(rig.dlg->settings().lastBatchFolder, target);
}

QTEST_MAIN(ListEditorWindowTest)
#include "list_editor_window_test.moc"
