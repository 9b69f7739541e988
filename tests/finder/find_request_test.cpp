#include <gtest/gtest.h>

#include "find_request.h"

namespace {

DatafileSlot slotOf(int count, const std::string& prefix, const std::string& note) {
    DatafileSlot slot;
    std::vector<std::string> paths;
    std::vector<ImageRecord> records;
    for (int i = 0; i < count; ++i) {
        ImageRecord record;
        record.nWidth = static_cast<std::uint16_t>(100 + i);
        records.push_back(record);
        paths.push_back(prefix + std::to_string(i) + ".jpg");
    }
    slot.setEntries(std::move(paths), std::move(records));
    slot.m_strSourceNote = note;
    return slot;
}

}  // namespace

TEST(FindRequest, BandTextsAreCorrectedAsTheEditsShowThem) {
    struct Case {
        std::string low, high;
        int wantLow, wantHigh;
        std::string wantLowText, wantHighText;
    };
    const Case cases[] = {
        {"98.0", "100", 980, 1000, "98.0", "100"},  // in range: texts kept as typed
        {"70", "100", 750, 1000, "75", "100"},
        {"98", "101", 980, 1000, "98", "100"},
        {"101", "100", 1000, 1000, "100", "100"},
        {"98.5", "90", 985, 985, "98.5", "98.5"},  // high below low takes the low text
        {"60", "70", 750, 750, "75", "75"},        // ... as corrected
        {"98.55", "99,5", 985, 990, "98.55", "99,5"},
        {"", "abc", 750, 750, "75", "75"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.low + " .. " + c.high);
        const MatchBand band = MatchBand::Corrected(c.low, c.high);
        EXPECT_EQ(band.low, c.wantLow);
        EXPECT_EQ(band.high, c.wantHigh);
        EXPECT_EQ(band.lowText, c.wantLowText);
        EXPECT_EQ(band.highText, c.wantHighText);
    }
}

TEST(FindRequest, EachModeTakesOnlyWhatItCompares) {
    const DatafileSlot primary = slotOf(3, "/p/", "; Source: /p");
    const DatafileSlot secondary = slotOf(2, "/s/", "; Source: /s.lst");
    ImageRecord single;
    single.nWidth = 7;
    FindRequest request;
    request.primary = &primary;
    request.secondary = &secondary;
    request.singleRecord = &single;
    request.singlePath = "/single.png";
    request.settings.method = kMethodVariance;
    request.dupsLimit = 25;
    const MatchBand band = MatchBand::Corrected("90", "99.5");

    FindRunInput within = MakeFindRunInput(request, band);
    EXPECT_EQ(within.mode, CompareMode::WithinPrimary);
    EXPECT_EQ(within.primaryRecords.data(), primary.records().data());
    EXPECT_EQ(within.primaryPaths.size(), 3u);
    EXPECT_EQ(within.primarySourceNote, "; Source: /p");
    EXPECT_TRUE(within.secondaryRecords.empty());
    EXPECT_TRUE(within.secondarySourceNote.empty());
    EXPECT_EQ(within.singleRecord, nullptr);
    EXPECT_EQ(within.low, 900);
    EXPECT_EQ(within.high, 995);
    EXPECT_EQ(within.dupsLimit, 25);
    EXPECT_EQ(within.settings.method, kMethodVariance);

    request.mode = CompareMode::SecondaryToPrimary;
    const FindRunInput between = MakeFindRunInput(request, band);
    EXPECT_EQ(between.secondaryPaths.data(), secondary.paths().data());
    EXPECT_EQ(between.secondaryRecords.size(), 2u);
    EXPECT_EQ(between.secondarySourceNote, "; Source: /s.lst");
    EXPECT_EQ(between.singleRecord, nullptr);

    request.mode = CompareMode::SingleToPrimary;
    const FindRunInput single2 = MakeFindRunInput(request, band);
    EXPECT_EQ(single2.singleRecord, &single);
    EXPECT_EQ(single2.singlePath, "/single.png");
    EXPECT_TRUE(single2.secondaryPaths.empty());
    EXPECT_EQ(single2.primaryRecords.size(), 3u);
}
