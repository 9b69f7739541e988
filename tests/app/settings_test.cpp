#include <gtest/gtest.h>

#include <QString>
#include <numeric>
#include <set>

#include "broken_key_store.h"
#include "qsettings_store.h"
#include "scripted_prompter.h"
#include "settings.h"
#include "temp_dir.h"

namespace {

// A numeric setting as the store holds it.
template <auto Field>
int number(const TwinlySettings& s) {
    return static_cast<int>(s.*Field);
}

class SettingsTest : public ::testing::Test {
  protected:
    SettingsTest() : m_store(QString::fromStdString(m_dir.file("settings.ini"))) {}

    // A store that has been saved once, so no first-start defaults apply.
    void markSaved() { m_store.writeString("Dups", "First", "Second"); }

    TwinlySettings load() {
        TwinlySettings s;
        LoadSettings(m_store, m_prompter, s);
        return s;
    }

    TempDir m_dir;
    QSettingsStore m_store;
    ScriptedPrompter m_prompter;
};

TEST_F(SettingsTest, FreshUserGetsFirstStartDefaults) {
    TwinlySettings s = load();
    ASSERT_EQ(s.m_bFirstRun, 1);
    ApplyFirstStartDefaults(s, "/data/Twinly");
    CheckDeleteSequence(s);
    EXPECT_EQ(s.m_nMatchTol, 980);
    EXPECT_EQ(s.m_nDupsLimit, 1000);
    EXPECT_EQ(s.m_nAdjustAmount, 5);
    EXPECT_EQ(s.m_nAutoDelay, 500);
    EXPECT_EQ(s.m_nDeleteMode, DeleteMode::Manual);
    EXPECT_EQ(s.m_nSortMode, 1);
    EXPECT_EQ(s.m_strLogPath, "/data/Twinly/DupLogs");
    EXPECT_EQ(s.m_strDupDataPath, "/data/Twinly/DupData");
    EXPECT_EQ(s.m_strListPath, "/data/Twinly/Orvexs");
    EXPECT_EQ(s.m_bPauseOnNoDelete, 1);
    EXPECT_EQ(s.m_bRemindSave, 1);
    EXPECT_EQ(s.m_bQuickCount, 1);
    EXPECT_EQ(s.m_bBeep, 1);
    EXPECT_EQ(s.m_bShowFileSizes, 1);
    EXPECT_EQ(s.m_bAutoView, 0);
    EXPECT_EQ(s.m_bLargeView, 0);
    EXPECT_EQ(s.m_nDeleteSequence, kDefaultDeleteSequence);
    EXPECT_TRUE(m_prompter.calls().empty());
}

TEST_F(SettingsTest, FirstStartDefaultsOverrideStoredValuesButNotCheckRec) {
    m_store.writeString("Dups", "CheckRec", "Yes");
    m_store.writeString("Dups", "MoveFolder", "/moves");
    m_store.writeString("Dups", "LastBatFile", "/lists/a.lst");
    m_store.writeNumber("Dups", "DupsLimit", 50);
    TwinlySettings s = load();
    ApplyFirstStartDefaults(s, "/d");
    EXPECT_EQ(s.m_bRecursive, 1);
    EXPECT_EQ(s.m_strLastListFile, "/lists/a.lst");
    EXPECT_EQ(s.m_strMoveFolder, "");
    EXPECT_EQ(s.m_nDupsLimit, 1000);
}

TEST_F(SettingsTest, NumbersAreClampedOrResetAsTheirRowsSay) {
    markSaved();
    const struct {
        const char* name;
        int stored;
        int (*field)(const TwinlySettings&);
        int expected;
    } cases[] = {
        {"MatchTol", 700, number<&TwinlySettings::m_nMatchTol>, 750},
        {"MatchTol", 1005, number<&TwinlySettings::m_nMatchTol>, 1000},
        {"MatchTol", 985, number<&TwinlySettings::m_nMatchTol>, 985},
        {"mSec", 50, number<&TwinlySettings::m_nAutoDelay>, 100},
        {"mSec", 5000, number<&TwinlySettings::m_nAutoDelay>, 2100},
        {"DupsLimit", 5, number<&TwinlySettings::m_nDupsLimit>, 1000},
        {"DupsLimit", 10, number<&TwinlySettings::m_nDupsLimit>, 10},
        {"DupsLimit", 1000001, number<&TwinlySettings::m_nDupsLimit>, 1000},
        {"AdjustAmt", 101, number<&TwinlySettings::m_nAdjustAmount>, 0},
        {"Method", 4, number<&TwinlySettings::m_nMethod>, 0},
        {"Match", -1, number<&TwinlySettings::m_nMatchRestriction>, 0},
        {"Auto", 0, number<&TwinlySettings::m_nDeleteMode>, 1},
        {"Sort", 3, number<&TwinlySettings::m_nSortMode>, 3},
        {"IAR", 100, number<&TwinlySettings::m_nAspectTol>, 100},
    };
    for (const auto& c : cases) {
        m_store.writeNumber("Dups", c.name, c.stored);
        EXPECT_EQ(c.field(load()), c.expected) << c.name << " stored as " << c.stored;
    }
}

TEST_F(SettingsTest, MissingOrMistypedNumbersTakeTheirDefaults) {
    markSaved();
    m_store.writeString("Dups", "DupsLimit", "lots");
    const TwinlySettings s = load();
    EXPECT_EQ(s.m_bFirstRun, 0);
    EXPECT_EQ(s.m_nMatchTol, 980);
    EXPECT_EQ(s.m_nAdjustAmount, 5);
    EXPECT_EQ(s.m_nAutoDelay, 500);
    EXPECT_EQ(s.m_nDupsLimit, 1000);
    EXPECT_EQ(s.m_nDeleteSequence, kDefaultDeleteSequence);
}

TEST_F(SettingsTest, SwitchesAreYesExactly) {
    markSaved();
    m_store.writeString("Dups", "Ask", "Yes");
    m_store.writeString("Dups", "Find", "yes");
    m_store.writeString("Dups", "Conf", "Yes ");
    m_store.writeNumber("Dups", "Remind", 1);
    const TwinlySettings s = load();
    EXPECT_EQ(s.m_bAutoView, 1);
    EXPECT_EQ(s.m_bAutoFind, 0);
    EXPECT_EQ(s.m_bPauseOnNoDelete, 0);
    EXPECT_EQ(s.m_bRemindSave, 0);
    // Not set by anything: a missing switch is off.
    EXPECT_EQ(s.m_bBeep, 0);
    EXPECT_EQ(s.m_bCheckRotation, 0);
}

TEST_F(SettingsTest, NewFormatsSwitchIsOnUnlessStoredAsNo) {
    // Stores written before the switch existed keep reading every format.
    markSaved();
    EXPECT_EQ(load().m_bAllImageFormats, 1);
    m_store.writeString("Dups", "NewFormats", "no");
    EXPECT_EQ(load().m_bAllImageFormats, 1);
    m_store.writeString("Dups", "NewFormats", "No");
    TwinlySettings s = load();
    EXPECT_EQ(s.m_bAllImageFormats, 0);
    ASSERT_TRUE(SaveSettings(m_store, m_prompter, s, s.m_nMatchTol));
    EXPECT_EQ(m_store.readString("Dups", "NewFormats"), "No");
    s.m_bAllImageFormats = 1;
    ASSERT_TRUE(SaveSettings(m_store, m_prompter, s, s.m_nMatchTol));
    EXPECT_EQ(m_store.readString("Dups", "NewFormats"), "Yes");
}

TEST_F(SettingsTest, StringsLongerThanTheReadBufferCountAsMissing) {
    markSaved();
    const std::string fits(kMaxStoredStringBytes, 'a');
    m_store.writeString("Dups", "LastFold", fits);
    m_store.writeString("Dups", "MoveFolder", fits + "b");
    m_store.writeString("1.0", "LogPath", std::string(300, 'x'));
    const TwinlySettings s = load();
    EXPECT_EQ(s.m_strLastFolder, fits);
    EXPECT_EQ(s.m_strMoveFolder, "");
    EXPECT_EQ(s.m_strLogPath, "");
    // A missing secondary folder falls back to the primary one.
    EXPECT_EQ(s.m_strLastSecFolder, fits);
}

TEST_F(SettingsTest, DeleteSequenceIsKeptOnlyWhenItAddsUpTo66) {
    const auto check = [](std::array<int, kDeleteSequenceLength> seq) {
        TwinlySettings s;
        s.m_nDeleteSequence = seq;
        CheckDeleteSequence(s);
        return s.m_nDeleteSequence;
    };
    const std::array<int, 11> shuffled = {11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
    EXPECT_EQ(check(shuffled), shuffled);
    const std::array<int, 11> repeated = {1, 1, 3, 4, 5, 6, 7, 8, 9, 10, 12};
    EXPECT_EQ(check(repeated), repeated);
    EXPECT_EQ(check({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10}), kDefaultDeleteSequence);
    // Huge codes must not wrap around into a sum of 66.
    EXPECT_EQ(check({2147483647, 2147483647, 2, 0, 0, 0, 0, 0, 0, 0, 0}), kDefaultDeleteSequence);
}

TEST_F(SettingsTest, SaveWritesEveryValueAndLoadReadsItBack) {
    TwinlySettings s;
    ApplyFirstStartDefaults(s, "/d");
    s.m_strLastInFolder = "/in";
    s.m_strLastBatchFile = "/carried.bat";
    s.m_strLastFolder = "/pics";
    s.m_strLastSecFolder = "/more";
    s.m_bRecursive = 1;
    s.m_bAutoFind = 1;
    s.m_bBeep = 0;
    s.m_nMethod = 2;
    s.m_bCheckRotation = 1;
    s.m_nAutoDelay = 1500;
    s.m_nDeleteSequence = {11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
    ASSERT_TRUE(SaveSettings(m_store, m_prompter, s, 600));
    EXPECT_EQ(m_store.readString("Dups", "First"), "Second");
    EXPECT_EQ(m_store.readString("Dups", "ChkMirror"), "No");
    EXPECT_EQ(m_store.readString("Dups", "ChkRotate"), "Yes");
    EXPECT_EQ(m_store.readString("Dups", "CheckRec"), "Yes");
    // Written as typed; clamped only when read again.
    EXPECT_EQ(m_store.readNumber("Dups", "MatchTol"), 600);

    TwinlySettings back = load();
    EXPECT_EQ(back.m_bFirstRun, 0);
    EXPECT_EQ(back.m_nMatchTol, 750);
    back.m_nMatchTol = s.m_nMatchTol;
    back.m_bFirstRun = s.m_bFirstRun;
    EXPECT_EQ(back.m_strLastInFolder, "/in");
    EXPECT_EQ(back.m_strLastBatchFile, "/carried.bat");
    EXPECT_EQ(back.m_strLastSecFolder, "/more");
    EXPECT_EQ(back.m_strLogPath, "/d/DupLogs");
    EXPECT_EQ(back.m_bRecursive, 1);
    EXPECT_EQ(back.m_bAutoFind, 1);
    EXPECT_EQ(back.m_bBeep, 0);
    EXPECT_EQ(back.m_nMethod, 2);
    EXPECT_EQ(back.m_bCheckRotation, 1);
    EXPECT_EQ(back.m_nAutoDelay, 1500);
    EXPECT_EQ(back.m_nDeleteSequence, s.m_nDeleteSequence);
    EXPECT_TRUE(m_prompter.calls().empty());
}

TEST_F(SettingsTest, SaveFolderPathsWritesOnlyTheFolders) {
    TwinlySettings s;
    s.m_strListPath = "/l";
    s.m_strLogPath = "/g";
    s.m_strDupDataPath = "/p";
    s.m_strLastFolder = "/not-written";
    ASSERT_TRUE(SaveFolderPaths(m_store, s));
    EXPECT_EQ(m_store.readString("1.0", "ListPath"), "/l");
    EXPECT_EQ(m_store.readString("1.0", "LogPath"), "/g");
    EXPECT_EQ(m_store.readString("1.0", "DupDataPath"), "/p");
    EXPECT_EQ(m_store.readString("Dups", "LastFold"), std::nullopt);
}

TEST_F(SettingsTest, UnavailableDupsKeyIsReportedOnLoadAndSave) {
    m_store.writeString("1.0", "LogPath", "/logs");
    m_store.writeString("Dups", "First", "Second");
    m_store.writeNumber("Dups", "MatchTol", 800);
    BrokenKeyStore broken(m_store, "Dups");

    TwinlySettings s;
    LoadSettings(broken, m_prompter, s);
    EXPECT_EQ(m_prompter.messageTexts(), std::vector<std::string>{"Registry readfail #5965"});
    EXPECT_EQ(s.m_strLogPath, "/logs");
    // Treated as a first start, so every field ends up usable.
    EXPECT_EQ(s.m_bFirstRun, 1);
    EXPECT_EQ(s.m_nMatchTol, 980);

    s.m_strLogPath = "/new-logs";
    m_prompter.clear();
    EXPECT_FALSE(SaveSettings(broken, m_prompter, s, 900));
    EXPECT_EQ(m_prompter.messageTexts(), std::vector<std::string>{"Registry write fail #5385"});
    EXPECT_EQ(m_store.readString("1.0", "LogPath"), "/new-logs");
    EXPECT_EQ(m_store.readNumber("Dups", "MatchTol"), 800);
}

TEST_F(SettingsTest, UnavailableFolderKeyIsSilent) {
    markSaved();
    BrokenKeyStore broken(m_store, "1.0");
    TwinlySettings s;
    s.m_strLogPath = "/kept";
    LoadSettings(broken, m_prompter, s);
    EXPECT_EQ(s.m_strLogPath, "/kept");
    EXPECT_FALSE(SaveSettings(broken, m_prompter, s, 980));
    EXPECT_FALSE(SaveFolderPaths(broken, s));
    EXPECT_TRUE(m_prompter.calls().empty());
}

TEST_F(SettingsTest, StoreThatCannotBeWrittenIsReported) {
    // Below a regular file no settings file can be made, whoever runs the test.
    const std::string blocker = m_dir.write("blocker", "x");
    QSettingsStore store(QString::fromStdString(blocker + "/settings.ini"));
    TwinlySettings s;
    EXPECT_FALSE(SaveSettings(store, m_prompter, s, 980));
    EXPECT_EQ(m_prompter.messageTexts(), std::vector<std::string>{"Registry write fail #5385"});
}

TEST_F(SettingsTest, CorruptFileStartsWithDefaults) {
    const std::string ini =
        m_dir.write("corrupt.ini", std::string("\xff\xfe[Dups\nMatchTol=\x01\x02\n[", 21));
    QSettingsStore store(QString::fromStdString(ini));
    TwinlySettings s;
    LoadSettings(store, m_prompter, s);
    ApplyFirstStartDefaults(s, "/d");
    CheckDeleteSequence(s);
    EXPECT_EQ(s.m_nMatchTol, 980);
    EXPECT_EQ(s.m_nDupsLimit, 1000);
    EXPECT_EQ(s.m_strLogPath, "/d/DupLogs");

    // Saving replaces the damage without a false alarm.
    EXPECT_TRUE(SaveSettings(store, m_prompter, s, 985));
    EXPECT_TRUE(m_prompter.calls().empty());
    QSettingsStore reread(QString::fromStdString(ini));
    TwinlySettings back;
    LoadSettings(reread, m_prompter, back);
    EXPECT_EQ(back.m_bFirstRun, 0);
    EXPECT_EQ(back.m_nMatchTol, 985);
}

TEST_F(SettingsTest, TypedChoicesAreStoredAsTheirNumbers) {
    markSaved();
    TwinlySettings s = load();
    s.m_nDeleteMode = DeleteMode::Automatic;
    s.m_nMatchRestriction = MatchRestriction::SameSize;
    ASSERT_TRUE(SaveSettings(m_store, m_prompter, s, s.m_nMatchTol));
    EXPECT_EQ(m_store.readNumber("Dups", "Auto"), 3);
    EXPECT_EQ(m_store.readNumber("Dups", "Match"), 2);
    m_store.writeNumber("Dups", "Auto", 2);
    m_store.writeNumber("Dups", "Match", 1);
    const TwinlySettings back = load();
    EXPECT_EQ(back.m_nDeleteMode, DeleteMode::SemiAuto);
    EXPECT_EQ(back.m_nMatchRestriction, MatchRestriction::SameAspect);
}

}  // namespace
