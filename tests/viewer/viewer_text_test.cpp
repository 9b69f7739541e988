#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "delete_messages.h"
#include "format_file_size.h"
#include "move_rule.h"
#include "pane_fit.h"
#include "status_line.h"
#include "temp_dir.h"

namespace {

TEST(FormatFileSize, SeparatorsAndPadding) {
    EXPECT_EQ(FormatFileSize(999), std::string(8, ' ') + "999");
    EXPECT_EQ(FormatFileSize(5), std::string(12, ' ') + "5");
    EXPECT_EQ(FormatFileSize(1234), std::string(4, ' ') + "1,234");
    EXPECT_EQ(FormatFileSize(123456), "123,456");
    EXPECT_EQ(FormatFileSize(10234567), "10,234,567");
    EXPECT_EQ(FormatFileSize(1234567), "1,234,567");
    // Only two separators, however long the number.
    EXPECT_EQ(FormatFileSize(1234567890), "1234,567,890");
    // Files past 2 GiB are ordinary today.
    EXPECT_EQ(FormatFileSize(5000000000LL), "5000,000,000");
}

TEST(PaneFit, EnlargesAndBindsByTheRightSide) {
    EXPECT_EQ(FitToPaneSize({100, 50}, {264, 164}), (FitSize{260, 130}));
    // Wide image in a tall pane: the width binds.
    EXPECT_EQ(FitToPaneSize({400, 100}, {204, 500}), (FitSize{200, 50}));
    // Tall image in a wide pane: the height binds.
    EXPECT_EQ(FitToPaneSize({100, 400}, {500, 204}), (FitSize{50, 200}));
    // The switch to the height happens only once the width fit exceeds the full
    // pane height, not the height less 4.
    EXPECT_EQ(FitToPaneSize({100, 100}, {104, 102}), (FitSize{100, 100}));
}

TEST(PaneFit, DegenerateInputsGiveNothingOrAtLeastOnePixel) {
    EXPECT_EQ(FitToPaneSize({0, 50}, {264, 164}), (FitSize{}));
    EXPECT_EQ(FitToPaneSize({100, 50}, {4, 164}), (FitSize{}));
    EXPECT_EQ(FitToPaneSize({10000, 1}, {264, 164}), (FitSize{260, 1}));
    // Products that overflow 32 bits.
    EXPECT_EQ(FitToPaneSize({60000, 40000}, {60004, 50000}), (FitSize{60000, 40000}));
}

TEST(ScreenFit, NeverEnlarges) {
    EXPECT_EQ(FitToScreenSize({100, 50}, {1900, 1060}), (FitSize{100, 50}));
    EXPECT_EQ(FitToScreenSize({4000, 3000}, {1904, 1064}), (FitSize{1413, 1060}));
    // Smaller in one direction only still scales down.
    EXPECT_EQ(FitToScreenSize({3800, 500}, {1904, 1064}), (FitSize{1900, 250}));
}

TEST(DeleteSummary, WordingFollowsTheRemoval) {
    EXPECT_EQ(DeleteSummaryText(3, 17, 9, false, false),
              "Deleted from image pairs 3 thru 17.\n9 image have been deleted (placed in recycle "
              "bin).");
    EXPECT_EQ(DeleteSummaryText(1, 5, 1, false, true),
              "Deleted from image pairs 1 thru 5.\n1 image have been deleted");
    EXPECT_EQ(DeleteSummaryText(2, 4, 2, true, false),
              "Deleted from image pairs 2 thru 4.\n2 images have been moved");
    EXPECT_EQ(DeleteSummaryText(1, 5, 0, false, false), "");
}

TEST(MoveRule, FlagsFollowTheFolders) {
    EXPECT_EQ(ApplyMoveRule(true, false, false), (MoveFlags{false, false, false}));
    EXPECT_EQ(ApplyMoveRule(true, true, false), (MoveFlags{true, true, false}));
    EXPECT_EQ(ApplyMoveRule(true, false, true), (MoveFlags{true, false, true}));
    EXPECT_EQ(ApplyMoveRule(false, true, true), (MoveFlags{false, false, false}));
    EXPECT_STREQ(DeleteButtonCaption(true), "Move");
    EXPECT_STREQ(DeleteButtonCaption(false), "Delete");
    // With only the left folder, the left Delete moves and so hides its Move button.
    const MoveFlags f = ApplyMoveRule(true, true, false);
    EXPECT_FALSE(MoveButtonShown(true, true, f.leftMoves));
    EXPECT_TRUE(MoveButtonShown(true, true, false));
    EXPECT_FALSE(MoveButtonShown(false, true, false));
}

TEST(MoveRule, FolderExistence) {
    TempDir dir;
    const std::string file = dir.write("plain.txt", "x");
    EXPECT_TRUE(MoveFolderExists(dir.path().string()));
    EXPECT_FALSE(MoveFolderExists(file));
    EXPECT_FALSE(MoveFolderExists(dir.file("missing")));
    EXPECT_FALSE(MoveFolderExists(""));
}

TEST(StatusLine, ShortensPastThirtyFiveCharacters) {
    const std::string sixty = "/" + std::string(59, 'a');
    EXPECT_EQ(ShortenForStatusLine(sixty), sixty.substr(0, 35) + "...");
    const std::string exact(35, 'b');
    EXPECT_EQ(ShortenForStatusLine(exact), exact);
    EXPECT_EQ(ShortenForStatusLine(exact + "c"), exact + "...");
    // Two-byte characters count once and are not split.
    std::string umlauts;
    for (int i = 0; i < 40; ++i) {
        umlauts += "\xC3\xA4";
    }
    EXPECT_EQ(ShortenForStatusLine(umlauts), umlauts.substr(0, 70) + "...");
}

}  // namespace
