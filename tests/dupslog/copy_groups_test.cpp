#include <gtest/gtest.h>

#include "copy_groups.h"

namespace {

using Groups = std::vector<std::vector<std::string>>;

CopyGroups Group(const std::vector<std::pair<std::string, std::string>>& pairs) {
    std::vector<std::string> left;
    std::vector<std::string> right;
    for (const auto& [a, b] : pairs) {
        left.push_back(a);
        right.push_back(b);
    }
    return GroupCopies(left, right);
}

}  // namespace

TEST(GroupCopies, JoinsPairsThatShareAnImageEvenThroughLaterPairs) {
    // d-e stands alone until e-b links it to the first group, after c-f began a second.
    const CopyGroups got =
        Group({{"/a", "/b"}, {"/c", "/f"}, {"/d", "/e"}, {"/b", "/c"}, {"/e", "/b"}, {"/x", "/y"}});
    EXPECT_EQ(got.groups, (Groups{{"/a", "/b", "/c", "/f", "/d", "/e"}, {"/x", "/y"}}));
    EXPECT_EQ(got.pairGroup, (std::vector<int>{0, 0, 0, 0, 0, 1}));
}

TEST(GroupCopies, OrdersGroupsByTheirFirstImageInPairOrder) {
    // The group of /p is linked to the first pair only by the last pair.
    const CopyGroups got = Group({{"/m", "/n"}, {"/p", "/q"}, {"/r", "/s"}, {"/s", "/m"}});
    EXPECT_EQ(got.groups, (Groups{{"/m", "/n", "/r", "/s"}, {"/p", "/q"}}));
    EXPECT_EQ(got.pairGroup, (std::vector<int>{0, 1, 0, 0}));
}

TEST(GroupCopies, RemovedSidesLinkNothingAndEmptyListsGiveNoGroups) {
    const CopyGroups got =
        Group({{"/a", "Deleted"}, {"Deleted /b", "/c"}, {"/c", "/d"}, {"/a", "/a"}});
    EXPECT_EQ(got.groups, (Groups{{"/c", "/d"}, {"/a"}}));
    EXPECT_EQ(got.pairGroup, (std::vector<int>{-1, -1, 0, 1}));
    EXPECT_TRUE(Group({}).groups.empty());
}
