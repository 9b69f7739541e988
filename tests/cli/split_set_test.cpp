#include <gtest/gtest.h>

#include "split_set.h"

TEST(SplitSet, PartsAreNumberedBeforeTheDupEnding) {
    EXPECT_EQ(SplitPartPath("/x/pics.dup", 1), "/x/pics.dup");
    EXPECT_EQ(SplitPartPath("/x/pics.dup", 2), "/x/pics-2.dup");
    EXPECT_EQ(SplitPartPath("/x/pics.dup", 12), "/x/pics-12.dup");
    EXPECT_EQ(SplitPartPath("pics.DUP", 3), "pics-3.DUP");
    EXPECT_EQ(SplitPartPath("/x/pics.v1.dup", 2), "/x/pics.v1-2.dup");
    // Without the ending the number goes last; a folder's dots do not count.
    EXPECT_EQ(SplitPartPath("/x/pics", 2), "/x/pics-2");
    EXPECT_EQ(SplitPartPath("/x.dup/pics", 2), "/x.dup/pics-2");
    EXPECT_EQ(SplitPartPath("/x/.dup", 2), "/x/.dup-2");

    EXPECT_EQ(SplitPartCount(0, 32000), 1);
    EXPECT_EQ(SplitPartCount(32000, 32000), 1);
    EXPECT_EQ(SplitPartCount(32001, 32000), 2);
    EXPECT_EQ(SplitPartCount(100000, 32000), 4);
}
