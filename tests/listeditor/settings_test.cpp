#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <map>

#include "command_line.h"
#include "editor_settings.h"
#include "folder_picker.h"
#include "image_list_model.h"
#include "key_value_store.h"
#include "qsettings_store.h"
#include "recent_lists.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

namespace {

// A store whose chosen keys refuse to open, as a registry key without rights would.
class RefusingStore : public KeyValueStore {
  public:
    explicit RefusingStore(std::string refused) : m_refused(std::move(refused)) {}
    bool openKey(const std::string& key) override { return key != m_refused; }
    std::optional<std::string> readString(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::int32_t> readNumber(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::vector<std::uint8_t>> readBinary(const std::string&,
                                                        const std::string&) override {
        return std::nullopt;
    }
    bool writeString(const std::string& key, const std::string& name,
                     const std::string& value) override {
        written[key + "/" + name] = value;
        return key != m_refused;
    }
    bool writeNumber(const std::string&, const std::string&, std::int32_t) override { return true; }
    bool writeBinary(const std::string&, const std::string&,
                     const std::vector<std::uint8_t>&) override {
        return true;
    }
    bool flush() override { return true; }
    std::map<std::string, std::string> written;

  private:
    std::string m_refused;
};

}  // namespace

TEST(EditorSettings, StoredSwitchesLoadCameraFilesIncluded) {
    TempDir dir;
    QSettingsStore store(QString::fromStdString(dir.file("s.ini")));
    store.writeString("Settings", "TGA", "No");
    store.writeString("Settings", "RAW", "Yes");
    store.writeString("Settings", "PNG", "no");  // only exactly "No" switches off
    store.writeString("Settings", "WEBP", "No");
    store.writeString("Dialogs", "AutoCnt", "No");
    store.writeString("1.0", "ListPath", "/lists");
    store.writeString("MRU", "List1", "/l/one.lst");
    store.writeString("MRU", "List2", "");
    store.writeString("MRU", "List3", "/l/three.lst");
    EditorSettings s;
    LoadEditorSettings(store, s);
    EXPECT_FALSE(s.types.tga);
    EXPECT_TRUE(s.types.raw);
    EXPECT_TRUE(s.types.png);
    EXPECT_FALSE(s.types.webp);
    EXPECT_TRUE(s.types.jpg) << "a missing switch stays on";
    EXPECT_TRUE(s.types.heic && s.types.avif && s.types.jxl);
    EXPECT_FALSE(s.types.allStandardOn());
    EXPECT_FALSE(s.autoCount);
    EXPECT_EQ(s.defaultListFolder, "/lists");
    EXPECT_EQ(s.recent.at(0), "/l/one.lst");
    EXPECT_EQ(s.recent.at(1), "/l/three.lst") << "gaps close on load";
}

TEST(EditorSettings, SaveWritesSwitchesAndReadsBack) {
    TempDir dir;
    QSettingsStore store(QString::fromStdString(dir.file("s.ini")));
    ScriptedPrompter prompter;
    EditorSettings s;
    s.types.gif = false;
    s.types.raw = true;
    s.types.jxl = false;
    s.autoCount = false;
    s.lastBatchFolder = "/pics";
    s.recent.add("/l/a.lst");
    SaveEditorSettings(store, s, prompter);
    EXPECT_TRUE(prompter.calls().empty());
    EXPECT_EQ(store.readString("Settings", "GIF"), "No");
    EXPECT_EQ(store.readString("Settings", "JPG"), "Yes");
    EXPECT_EQ(store.readString("Settings", "RAW"), "Yes");
    EXPECT_EQ(store.readString("Settings", "JXL"), "No");
    EXPECT_EQ(store.readString("Settings", "HEIC"), "Yes");
    EXPECT_EQ(store.readString("Dialogs", "AutoCnt"), "No");
    EXPECT_EQ(store.readString("MRU", "List2"), "");
    EditorSettings back;
    LoadEditorSettings(store, back);
    EXPECT_EQ(back.types, s.types);
    EXPECT_EQ(back.lastBatchFolder, "/pics");
    EXPECT_EQ(back.recent.at(0), "/l/a.lst");
}

TEST(EditorSettings, EachUnwritableKeyHasItsOwnMessageAndTheRestIsWritten) {
    for (const auto& [key, text] :
         std::map<std::string, std::string>{{"Settings", "registry write error_2677TW"},
                                            {"Dialogs", "registry write error_2697TW"},
                                            {"MRU", "registry write error_2675TW"}}) {
        RefusingStore store(key);
        ScriptedPrompter prompter;
        SaveEditorSettings(store, EditorSettings{}, prompter);
        EXPECT_EQ(prompter.messageTexts(), std::vector<std::string>{text}) << key;
        EXPECT_EQ(store.written.count(key == "MRU" ? "Settings/PSD" : "MRU/List4"), 1u) << key;
    }
}

TEST(WindowPlacement, StoredAsFourLittleEndianBytesEach) {
    TempDir dir;
    QSettingsStore store(QString::fromStdString(dir.file("s.ini")));
    EXPECT_FALSE(LoadWindowPlacement(store));
    SaveWindowPlacement(store, {0, 3, -20, 40, 700, 0x12345});
    EXPECT_EQ(store.readString("WinStateOrvex", "SavedState"), "Yes");
    EXPECT_EQ(store.readBinary("WinStateOrvex", "Left"),
              (std::vector<std::uint8_t>{0xEC, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(store.readBinary("WinStateOrvex", "Bottom"),
              (std::vector<std::uint8_t>{0x45, 0x23, 0x01, 0x00}));
    const auto back = LoadWindowPlacement(store);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->showCmd, 3);
    EXPECT_EQ(back->left, -20);
    EXPECT_EQ(back->bottom, 0x12345);
    store.writeBinary("WinStateOrvex", "Top", {1, 2});
    EXPECT_FALSE(LoadWindowPlacement(store)) << "a short value is no placement";
}

TEST(RecentLists, MoveToTopRules) {
    RecentLists r;
    for (const char* p : {"/d.lst", "/c.lst", "/b.lst", "/a.lst"}) {
        r.add(p);
    }
    r.add("/b.lst");  // the second becomes first, the first second
    EXPECT_EQ(r.at(0), "/b.lst");
    EXPECT_EQ(r.at(1), "/a.lst");
    EXPECT_EQ(r.at(2), "/c.lst");
    r.add("/b.lst");
    EXPECT_EQ(r.at(1), "/a.lst");
    r.add("/e.lst");  // a new one drops the fourth
    EXPECT_EQ(r.at(0), "/e.lst");
    EXPECT_EQ(r.at(3), "/c.lst");
    r.remove(1);
    EXPECT_EQ(r.at(1), "/a.lst");
    EXPECT_EQ(r.at(3), "");
    EXPECT_EQ(ListTitle("/x/My photos.lst"), "My photos");
}

TEST(ImageListModel, EditsKeepOrderAndRefuseImpossibleMoves) {
    ImageListModel m;
    for (const char* e :
         {"/a/", "/b.jpg", "/c/ (include subfolders)", "<INSTALL_FOLDER>/s/x.png"}) {
        m.append(e);
    }
    EXPECT_FALSE(m.appendUnlessPresent("/b.jpg"));
    EXPECT_EQ(m.moveUp({0, 2}), (std::vector<int>{0, 2})) << "first row selected: nothing moves";
    EXPECT_EQ(m.moveDown({1, 2}), (std::vector<int>{3, 2}));
    EXPECT_EQ(m.at(1), "<INSTALL_FOLDER>/s/x.png");
    EXPECT_FALSE(m.setSubfolderNote(3, true)) << "a file takes no note";
    EXPECT_TRUE(m.setSubfolderNote(0, true));
    EXPECT_EQ(m.at(0), "/a/ (include subfolders)");
    EXPECT_TRUE(m.setSubfolderNote(0, false));
    EXPECT_EQ(m.at(0), "/a/ (no subfolders)");
    EXPECT_TRUE(m.replaceInstallFolder("/opt/orvex"));
    EXPECT_EQ(m.at(1), "/opt/orvex/s/x.png");
}

TEST(FolderCompletion, AddsTheRestAndFollowsTypedCaseWhereCaseIsIgnored) {
    EXPECT_EQ(CompleteFolderName("/p/Pho", "Photos", false), "/p/Photos");
    EXPECT_EQ(CompleteFolderName("/p/", "Photos", false), "/p/");
    EXPECT_EQ(CompleteFolderName("c:\\pro", "PROGRAMS", true), "c:\\programs");
    EXPECT_EQ(CompleteFolderName("c:\\PRO", "PROGRAMS", true), "c:\\PROGRAMS");
    EXPECT_EQ(CompleteFolderName("c:\\Pr", "Program Files", true), "c:\\Program Files");
}

TEST(CommandLine, FirstArgumentThatIsNoSwitchNamesTheList) {
    EXPECT_EQ(ListFromCommandLine({"orvex"}), "");
    EXPECT_EQ(ListFromCommandLine({"orvex", "-x", "/home/u/My lists/a.lst", "b.lst"}),
              "/home/u/My lists/a.lst");
}
