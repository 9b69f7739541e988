#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <ctime>
#include <string>
#include <vector>

#include <filesystem>

#include "delete_criteria.h"
#include "format_file_size.h"
#include "temp_dir.h"

namespace {

SideFacts image(int w, int h, const std::string& type, std::int64_t length = 1000,
                std::int64_t created = 1'300'000'000) {
    static int made = 0;
    SideFacts s;
    s.path = "/pics/x" + std::to_string(++made) + "." + type;
    s.titleText = "x" + std::to_string(made);
    s.width = w;
    s.height = h;
    s.type = type;
    s.dimensionsLabel = DimensionsLabel(w, h, type);
    s.length = length;
    s.creationTime = created;
    s.loaded = true;
    return s;
}

std::vector<int> seq(std::initializer_list<int> first) {
    std::vector<int> s(first);
    // Fill up with the unused codes so the sequence has eleven entries.
    for (int code : kDefaultDeleteSequence) {
        if (std::find(s.begin(), s.end(), code) == s.end()) {
            s.push_back(code);
        }
    }
    return s;
}

std::int64_t localTime(int year, int month, int day, int h, int m, int s) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = h;
    t.tm_min = m;
    t.tm_sec = s;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

TEST(DeleteCriteria, HigherResolutionPicksTheLargerImage) {
    const auto d = EvaluateDeleteCriteria(DeleteMode::SemiAuto, seq({1}), image(800, 600, "JPG"),
                                          image(1024, 768, "JPG"));
    EXPECT_TRUE(d.evaluated);
    EXPECT_EQ(d.verdict, DeleteVerdict::DeleteRight);
    EXPECT_EQ(d.focusControl, kRightDeleteButton);
    EXPECT_EQ(d.statusText,
              "Delete criteria:\nHigher resolution\n(1) 800 x 600 JPG\n(2) 1024 x 768 JPG");
}

TEST(DeleteCriteria, EqualPixelCountsFallThroughToFileSize) {
    const auto d =
        EvaluateDeleteCriteria(DeleteMode::Automatic, seq({1, 10}), image(600, 800, "JPG", 5000),
                               image(800, 600, "PNG", 7000));
    EXPECT_EQ(d.verdict, DeleteVerdict::DeleteRight);
    EXPECT_EQ(d.statusText, "Delete criteria:\nLarger file size\n(1) " + FormatFileSize(5000) +
                                " bytes\n(2) " + FormatFileSize(7000) + " bytes");
    const auto smaller =
        EvaluateDeleteCriteria(DeleteMode::Automatic, seq({2, 11}), image(600, 800, "JPG", 5000),
                               image(800, 600, "PNG", 7000));
    EXPECT_EQ(smaller.verdict, DeleteVerdict::DeleteLeft);
    EXPECT_EQ(smaller.focusControl, kLeftDeleteButton);
}

TEST(DeleteCriteria, TypeCriteriaDecideOnlyWhenExactlyOneIsJpg) {
    // Both JPG: "JPG" cannot decide; the lower resolution one is picked next.
    auto d = EvaluateDeleteCriteria(DeleteMode::SemiAuto, seq({5, 2}), image(800, 600, "JPG"),
                                    image(1024, 768, "JPG"));
    EXPECT_EQ(d.verdict, DeleteVerdict::DeleteLeft);
    EXPECT_EQ(d.statusText.rfind("Delete criteria:\nLower resolution\n", 0), 0u);

    d = EvaluateDeleteCriteria(DeleteMode::SemiAuto, seq({5}), image(800, 600, "PNG"),
                               image(800, 600, "JPG"));
    EXPECT_EQ(d.verdict, DeleteVerdict::DeleteRight);
    EXPECT_EQ(d.statusText, "Delete criteria:\nDelete JPG\n(1) PNG\n(2) JPG");

    d = EvaluateDeleteCriteria(DeleteMode::SemiAuto, seq({6}), image(800, 600, "PNG"),
                               image(800, 600, "JPG"));
    EXPECT_EQ(d.verdict, DeleteVerdict::DeleteLeft);
    EXPECT_EQ(d.statusText, "Delete criteria:\nDelete NOT JPG\n(1) PNG\n(2) JPG");
}

TEST(DeleteCriteria, MarkersDecideAtOnce) {
    const SideFacts l = image(800, 600, "JPG");
    const SideFacts r = image(1024, 768, "JPG");
    auto d = EvaluateDeleteCriteria(DeleteMode::SemiAuto, kDefaultDeleteSequence, l, r);
    EXPECT_EQ(d.verdict, DeleteVerdict::NoDelete);
    EXPECT_EQ(d.focusControl, kNextButton);
    EXPECT_EQ(d.statusText, "Delete criteria:\nNo delete");

    d = EvaluateDeleteCriteria(DeleteMode::Automatic, seq({7}), l, r);
    EXPECT_EQ(d.verdict, DeleteVerdict::DeleteLeft);
    EXPECT_EQ(d.statusText, "Delete criteria:\nDelete left image");
    d = EvaluateDeleteCriteria(DeleteMode::Automatic, seq({8}), l, r);
    EXPECT_EQ(d.verdict, DeleteVerdict::DeleteRight);
    EXPECT_EQ(d.focusControl, kRightDeleteButton);
}

TEST(DeleteCriteria, ManualModeAndUndecidedSequences) {
    const SideFacts l = image(800, 600, "JPG");
    const SideFacts r = image(1024, 768, "JPG");
    auto d = EvaluateDeleteCriteria(DeleteMode::Manual, seq({8}), l, r);
    EXPECT_FALSE(d.evaluated);
    EXPECT_EQ(d.verdict, DeleteVerdict::NoDelete);
    EXPECT_EQ(d.focusControl, 0);

    // The eleventh entry is never looked at; bad codes are skipped.
    std::array<int, 11> s{5, 0, 12, 5, 5, 5, 5, 5, 5, 5, 8};
    d = EvaluateDeleteCriteria(DeleteMode::SemiAuto, s, l, r);
    EXPECT_TRUE(d.evaluated);
    EXPECT_EQ(d.verdict, DeleteVerdict::NoDelete);
    EXPECT_EQ(d.focusControl, 0);
    EXPECT_EQ(d.statusText, "Delete criteria:\n");
}

TEST(DeleteCriteria, CreationTimesInLocalTime) {
    const std::int64_t early = localTime(2011, 7, 8, 13, 5, 9);
    const std::int64_t late = localTime(2011, 12, 24, 23, 59, 58);
    EXPECT_EQ(FormatCreationTime(early), "07/08/11:13:05:09");
    const auto d =
        EvaluateDeleteCriteria(DeleteMode::SemiAuto, seq({3}), image(10, 10, "JPG", 1, late),
                               image(10, 10, "JPG", 1, early));
    EXPECT_EQ(d.verdict, DeleteVerdict::DeleteRight);
    EXPECT_EQ(d.statusText,
              "Delete criteria:\nEarlier creation\n(1) 12/24/11:23:59:58\n(2) 07/08/11:13:05:09");
    EXPECT_EQ(EvaluateDeleteCriteria(DeleteMode::SemiAuto, seq({4}), image(10, 10, "JPG", 1, late),
                                     image(10, 10, "JPG", 1, early))
                  .verdict,
              DeleteVerdict::DeleteLeft);
}

TEST(DeleteCriteria, TextsRoundTrip) {
    for (int code = 1; code <= kDeleteCriterionCount; ++code) {
        EXPECT_EQ(DeleteCriterionFromText(DeleteCriterionText(code)), code);
    }
    EXPECT_EQ(DeleteCriterionText(9), "-- No delete/move -------------");
    EXPECT_EQ(DeleteCriterionText(0), "");
    EXPECT_EQ(DeleteCriterionFromText("Higher resolution "), 0);
}

}  // namespace

TEST(DeleteCriteria, NeverJudgeAPairWhoseOtherImageIsGoneUnreadOrTheSameFile) {
    // "Larger file size" first: a missing side has length 0 and stale sizes,
    // which once made the criteria delete the only copy left.
    const std::vector<int> chain = seq({10, 1});
    const SideFacts present = image(800, 600, "JPG", 5000);
    SideFacts deleted = image(800, 600, "JPG", 5000);
    deleted.path = deleted.titleText = "Deleted";
    SideFacts missing = image(800, 600, "JPG", 0);
    missing.titleText = "Not found: " + missing.path;
    missing.loaded = false;
    SideFacts unread = image(800, 600, "PNG", 9000);
    unread.loaded = false;
    SideFacts sameFile = present;
    sameFile.path = "/pics//./" + present.path.substr(6);
    const struct {
        SideFacts left, right;
        std::string reason;
    } cases[] = {
        {deleted, present, "Image 1 is deleted"},
        {present, deleted, "Image 2 is deleted"},
        {missing, present, "Image 1 is not on disk"},
        {present, missing, "Image 2 is not on disk"},
        {unread, present, "Image 1 could not be read"},
        {present, unread, "Image 2 could not be read"},
        {present, sameFile, "Both images are the same file"},
    };
    for (const DeleteMode mode : {DeleteMode::SemiAuto, DeleteMode::Automatic}) {
        for (const auto& c : cases) {
            const DeleteDecision d = EvaluateDeleteCriteria(mode, chain, c.left, c.right);
            EXPECT_TRUE(d.evaluated) << c.reason;
            EXPECT_EQ(d.verdict, DeleteVerdict::NoDelete) << c.reason;
            EXPECT_EQ(d.focusControl, kNextButton) << c.reason;
            EXPECT_EQ(d.statusText, "Delete criteria:\nNo delete\n" + c.reason);
        }
    }
    // Manual mode judges nothing at all.
    const DeleteDecision manual =
        EvaluateDeleteCriteria(DeleteMode::Manual, chain, missing, present);
    EXPECT_FALSE(manual.evaluated);
    EXPECT_EQ(manual.verdict, DeleteVerdict::NoDelete);
    // With both images there, the larger file goes as before.
    EXPECT_EQ(
        EvaluateDeleteCriteria(DeleteMode::Automatic, chain, present, image(800, 600, "JPG", 4000))
            .verdict,
        DeleteVerdict::DeleteLeft);
}

TEST(DeleteCriteria, TheFilesAreLookedAtAgainAtTheMomentOfActing) {
    namespace fs = std::filesystem;
    TempDir dir;
    const auto side = [&dir](const std::string& name, const std::string& bytes) {
        SideFacts s = image(640, 480, "JPG", static_cast<std::int64_t>(bytes.size()));
        s.path = dir.write(name, bytes);
        return s;
    };
    const SideFacts left = side("a.jpg", "left picture");
    SideFacts right = side("b.jpg", "right");
    EXPECT_EQ(NoDeleteReasonNow(left, right), "");
    EXPECT_FALSE(SidesAreOneFile(left, right));

    dir.write("a.jpg", "left picture, rewritten");
    EXPECT_EQ(NoDeleteReasonNow(left, right), "Image 1 changed since it was shown");
    dir.write("a.jpg", "left picture");
    fs::remove(right.path);
    EXPECT_EQ(NoDeleteReasonNow(left, right), "Image 2 is no longer on disk");
    fs::create_directories(right.path);
    EXPECT_EQ(NoDeleteReasonNow(left, right), "Image 2 is no longer a regular file");

    // A link beside its target, and a second hard link: one file each time.
    fs::create_symlink(left.path, dir.path() / "link.jpg");
    fs::create_hard_link(left.path, dir.path() / "hard.jpg");
    for (const char* other : {"link.jpg", "hard.jpg"}) {
        right = left;
        right.path = dir.file(other);
        EXPECT_TRUE(SidesAreOneFile(left, right)) << other;
        EXPECT_EQ(NoDeleteReasonNow(left, right), "Both images are the same file") << other;
    }
}
