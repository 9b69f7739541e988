#include <gtest/gtest.h>

#include "log_writer.h"
#include "pair_export.h"

TEST(PairExport, JsonStringsAreValidUtf8AndKeepEveryByte) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain /a b.jpg", "\"plain /a b.jpg\""},
        {"q\"\\\n\r\t\x01\x1f\x7f", "\"q\\\"\\\\\\n\\r\\t\\u0001\\u001f\x7f\""},
        {"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80", "\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\""},
        {"\xff\x80", "\"\\udcff\\udc80\""},
        {"\xc0\xaf", "\"\\udcc0\\udcaf\""},                        // overlong "/"
        {"\xed\xa0\x80", "\"\\udced\\udca0\\udc80\""},             // a surrogate in UTF-8
        {"\xf4\x90\x80\x80", "\"\\udcf4\\udc90\\udc80\\udc80\""},  // past U+10FFFF
        {"a\xe2\x82", "\"a\\udce2\\udc82\""},                      // cut short at the end
        {"\xe2\x82"
         "a",
         "\"\\udce2\\udc82a\""},
        {std::string("nul\0x", 5), "\"nul\\u0000x\""},
    };
    for (const auto& [bytes, json] : cases) {
        EXPECT_EQ(JsonString(bytes), json) << bytes;
    }
}

TEST(PairExport, CsvQuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(CsvField("/p/a b.jpg"), "/p/a b.jpg");
    EXPECT_EQ(CsvField("\xc3\xa9\xff"), "\xc3\xa9\xff");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("two\r\nlines"), "\"two\r\nlines\"");
}

TEST(PairExport, PairsComeFromTheRecordsOfARunsLog) {
    std::vector<std::string> lines;
    WriteLogHeader(lines, LogHeaderInfo{});
    AddMatchRecord(lines, "100.0", 1, 2, "/a.jpg", "/b.jpg");
    AddMatchRecord(lines, "98.5", 2, 2, "/c,d.jpg", "Image 2 path: .jpg");
    AddMatchRecord(lines, "99.0", 3, 2, "/past/the.jpg", "/limit.jpg");  // not written
    InsertLimitLine(lines, 2);
    WriteLogTrailer(lines, 2);
    const std::vector<ExportedPair> pairs = PairsFromLogLines(lines);
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0].number, "1");
    EXPECT_EQ(pairs[0].percent, "100.0");
    EXPECT_EQ(pairs[1].image1, "/c,d.jpg");
    EXPECT_EQ(pairs[1].image2, "Image 2 path: .jpg");
    EXPECT_EQ(pairs[1].percent, "98.5");
    std::vector<ExportedPair> filed = pairs;
    filed[0].data1 = filed[0].data2 = "/d/one.dup";
    filed[1].data1 = "/d/one.dup";
    filed[1].data2 = "/d/two,2.dup";
    EXPECT_EQ(PairsAsCsv(filed),
              "match,percent,image1,image2,data1,data2\r\n"
              "1,100.0,/a.jpg,/b.jpg,/d/one.dup,/d/one.dup\r\n"
              "2,98.5,\"/c,d.jpg\",Image 2 path: .jpg,/d/one.dup,\"/d/two,2.dup\"\r\n");

    std::vector<std::string> none;
    WriteLogHeader(none, LogHeaderInfo{});
    WriteLogTrailer(none, 0);
    EXPECT_TRUE(PairsFromLogLines(none).empty());
    PairExportInfo info;
    info.mode = "primary";
    info.low = "98.0";
    info.high = "100.0";
    EXPECT_NE(PairsAsJson({}, info).find("\"pairs\": []"), std::string::npos);
}

TEST(PairExport, GroupsAreTabSeparatedLinesOrRefusedForPathsThatWouldBreakThem) {
    const std::vector<ExportedPair> pairs = {{"1", "99.0", "/a b.jpg", "/c.jpg"},
                                             {"2", "98.0", "/x.jpg", "/y.jpg"},
                                             {"3", "98.0", "/c.jpg", "/d.jpg"}};
    EXPECT_EQ(PairsAsGroups(pairs), "/a b.jpg\t/c.jpg\t/d.jpg\n/x.jpg\t/y.jpg\n");
    EXPECT_EQ(PairsAsGroups({}), "");
    for (const char* bad : {"/tab\there.jpg", "/two\nlines.jpg", "/cr\r.jpg"}) {
        EXPECT_FALSE(PairsAsGroups({{"1", "99.0", "/a.jpg", bad}}).has_value()) << bad;
    }
}
