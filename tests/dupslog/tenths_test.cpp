#include <gtest/gtest.h>

#include "tenths.h"

TEST(Tenths, ParsesPercentTexts) {
    EXPECT_EQ(ParseTenths("98.57"), 985);
    EXPECT_EQ(ParseTenths("98.55"), 985);
    EXPECT_EQ(ParseTenths("98"), 980);
    EXPECT_EQ(ParseTenths("98."), 980);
    EXPECT_EQ(ParseTenths("98,5"), 980);
    EXPECT_EQ(ParseTenths("98.x"), 980);
    EXPECT_EQ(ParseTenths("70"), 700);
    EXPECT_EQ(ParseTenths("101"), 1010);
    EXPECT_EQ(ParseTenths(""), 0);
    EXPECT_EQ(ParseTenths("abc"), 0);
}

TEST(Tenths, FormatsOneDecimal) {
    EXPECT_EQ(FormatTenths(980), "98.0");
    EXPECT_EQ(FormatTenths(985), "98.5");
    EXPECT_EQ(FormatTenths(1000), "100.0");
    EXPECT_EQ(FormatTenths(750), "75.0");
}

TEST(Tenths, WholePercentAndLeadingInt) {
    EXPECT_EQ(ParseWholePercent("98.5"), 98);
    EXPECT_EQ(ParseWholePercent("60"), 60);
    EXPECT_EQ(ParseLeadingInt(" -3x"), -3);
    EXPECT_EQ(ParseLeadingInt("+250"), 250);
    EXPECT_EQ(ParseLeadingInt("2000000000000"), 2147483647);
    EXPECT_EQ(ParseLeadingInt("-2000000000000"), -2147483648LL);
}
