#include <gtest/gtest.h>

#include <filesystem>

#include "datafile_io.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

using namespace std::string_literals;

namespace {

ImageRecord sampleRecord() {
    ImageRecord r;
    r.nWidth = 640;
    r.nHeight = 480;
    r.nReserved = 0;
    r.bColor = 1;
    r.nSumRed = 0x1234;
    r.nSumGreen = 0x0056;
    r.nSumBlue = 0xABCD;
    for (int i = 0; i < kThumbBytes; ++i) {
        r.thumb[i] = static_cast<std::uint8_t>(i % 251);
    }
    return r;
}

// Two images of a folder with subfolders, the second one unreadable.
DatafileSlot sampleSlot() {
    DatafileSlot slot;
    slot.m_nSourceKind = 1;
    slot.m_bSubfolders = 1;
    slot.m_strSourceFolder = "/pics/";
    slot.setEntries({"/pics/a.jpg", kDeletedEntry}, {sampleRecord(), ImageRecord{}});
    return slot;
}

DatafileSlot sentinelSlot() {
    DatafileSlot slot;
    slot.m_strSourceFolder = "/old/";
    slot.m_strSourceList = "/old.lst";
    slot.m_bSubfolders = 0;
    std::vector<ImageRecord> records(3);
    records[1].nWidth = 5;
    slot.setEntries({"/old/1.jpg", "/old/2.jpg", "/old/3.jpg"}, std::move(records));
    return slot;
}

void expectSameSlot(const DatafileSlot& a, const DatafileSlot& b) {
    EXPECT_EQ(a.records(), b.records());
    EXPECT_EQ(a.paths(), b.paths());
    EXPECT_EQ(a.m_nSourceKind, b.m_nSourceKind);
    EXPECT_EQ(a.m_bSubfolders, b.m_bSubfolders);
    EXPECT_EQ(a.m_strSourceFolder, b.m_strSourceFolder);
    EXPECT_EQ(a.m_strSourceList, b.m_strSourceList);
}

std::string entryTail(const ImageRecord& r) {
    return std::string(reinterpret_cast<const char*>(r.thumb), kThumbBytes) + "0";
}

}  // namespace

TEST(Datafile, WritesTheExactBytes) {
    TempDir dir;
    const std::string path = dir.file("PrimaryData.dup");
    ASSERT_EQ(WriteDatafile(path, sampleSlot()), 1);
    const std::string expected = "DB"s + "\x02\0\0\0"s + "\x06/pics/"s + "\x01\0\0\0"s +
                                 "\x01\0\0\0"s + "\x0b/pics/a.jpg"s + entryTail(sampleRecord()) +
                                 "\x80\x02\xe0\x01\0\0\x01\x34\x12\x56\x00\xcd\xab"s +
                                 "\x07"
                                 "Deleted"s +
                                 entryTail(ImageRecord{}) + std::string(13, '\0');
    EXPECT_EQ(ReadFileBytes(path), expected);
}

TEST(Datafile, LongPathsTakeTheWiderLengthForms) {
    struct Case {
        std::size_t length;
        std::string prefix;
    };
    const Case cases[] = {{254, "\xfe"s},
                          {255, "\xff\xff\x00"s},
                          {300, "\xff\x2c\x01"s},
                          {0xFFFD, "\xff\xfd\xff"s},
                          {0xFFFE, "\xff\xff\xff\xfe\xff\x00\x00"s}};
    TempDir dir;
    const std::string path = dir.file("long.dup");
    for (const Case& c : cases) {
        DatafileSlot slot;
        slot.setEntries({"/" + std::string(c.length - 1, 'p')}, {sampleRecord()});
        ASSERT_EQ(WriteDatafile(path, slot), 1);
        const std::string bytes = ReadFileBytes(path);
        // After "DB", the count, the empty source path and the two flags.
        constexpr std::size_t kEntryStart = 2 + 4 + 1 + 4 + 4;
        EXPECT_EQ(bytes.substr(kEntryStart, c.prefix.size()), c.prefix) << c.length;
        EXPECT_EQ(bytes.size(), kEntryStart + c.prefix.size() + c.length + kImageRecordBytes);

        ScriptedPrompter prompter;
        DatafileSlot back;
        ASSERT_EQ(ReadDatafile(path, 0, back, prompter), 1) << c.length;
        EXPECT_EQ(back.paths(), slot.paths());
        EXPECT_EQ(back.records(), slot.records());
    }
}

TEST(Datafile, RoundTripFillsTheSourceFieldOfItsKind) {
    TempDir dir;
    const std::string path = dir.file("d.dup");
    ScriptedPrompter prompter;
    const DatafileSlot folder = sampleSlot();
    ASSERT_EQ(WriteDatafile(path, folder), 1);
    DatafileSlot back;
    ASSERT_EQ(ReadDatafile(path, 1, back, prompter), 1);
    expectSameSlot(back, folder);
    EXPECT_EQ(back.paths()[1], kDeletedEntry);
    EXPECT_EQ(back.records()[1].nWidth, 0);

    DatafileSlot list = sampleSlot();
    list.m_nSourceKind = 0;
    list.m_bSubfolders = 0;
    list.m_strSourceList = "/lists/my.lst";
    ASSERT_EQ(WriteDatafile(path, list), 1);
    DatafileSlot into = sentinelSlot();
    ASSERT_EQ(ReadDatafile(path, 0, into, prompter), 1);
    EXPECT_EQ(into.m_strSourceList, "/lists/my.lst");
    EXPECT_EQ(into.m_strSourceFolder, "/old/");
    EXPECT_EQ(into.m_nSourceKind, 0);
    EXPECT_EQ(into.records(), list.records());
    EXPECT_TRUE(prompter.calls().empty());
}

TEST(Datafile, WrongHeadersAreReportedPerSlot) {
    TempDir dir;
    const std::string notD = dir.write("x.dup", "XB\2\0\0\0"s);
    const std::string notB = dir.write("y.dup", "DX\2\0\0\0"s);
    ScriptedPrompter prompter;
    for (int i = 0; i < 4; ++i) {
        prompter.answerMessage(PromptAnswer::Ok);
    }
    DatafileSlot slot = sentinelSlot();
    EXPECT_EQ(ReadDatafile(notD, 0, slot, prompter), 0);
    EXPECT_EQ(ReadDatafile(notD, 1, slot, prompter), 0);
    EXPECT_EQ(ReadDatafile(notB, 0, slot, prompter), 0);
    EXPECT_EQ(ReadDatafile(notB, 1, slot, prompter), 0);
    EXPECT_EQ(ReadDatafile(notD, 2, slot, prompter), 0);
    EXPECT_EQ(prompter.messageTexts(),
              (std::vector<std::string>{"Not a vaild Dup data file", "File header not = to WH",
                                        "File header not = to DB", "File header not = to DB"}));
    expectSameSlot(slot, sentinelSlot());
}

TEST(Datafile, TruncatedAndHostileFilesLeaveTheSlotAsItWas) {
    TempDir dir;
    const std::string good = dir.file("good.dup");
    ASSERT_EQ(WriteDatafile(good, sampleSlot()), 1);
    const std::string bytes = ReadFileBytes(good);
    const std::string path = dir.file("bad.dup");
    ScriptedPrompter prompter;
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        dir.write("bad.dup", bytes.substr(0, length));
        DatafileSlot slot = sentinelSlot();
        ASSERT_EQ(ReadDatafile(path, 0, slot, prompter), 0) << length;
        expectSameSlot(slot, sentinelSlot());
    }
    const std::string header = "DB"s;
    const std::string flags = "\x01\0\0\0\x01\0\0\0"s;
    const std::string hostile[] = {
        header + "\xff\xff\xff\x7f"s + "\0"s + flags + bytes.substr(21),   // count 2^31 - 1
        header + "\xff\xff\xff\xff"s + "\0"s + flags,                      // count -1
        header + "\x01\0\0\0"s + "\xff\xff\xff\xff\xff\xff\x7f"s + flags,  // source of 2 GB
        header + "\x01\0\0\0"s + "\0"s + flags + "\xff\xff\xff\xf0\xff\xff\xff"s +
            std::string(400, 'z'),  // entry path of 4 GB
    };
    for (const std::string& file : hostile) {
        dir.write("bad.dup", file);
        DatafileSlot slot = sentinelSlot();
        EXPECT_EQ(ReadDatafile(path, 1, slot, prompter), 0);
        expectSameSlot(slot, sentinelSlot());
    }
    DatafileSlot untouched = sentinelSlot();
    EXPECT_EQ(ReadDatafile(dir.file("missing.dup"), 0, untouched, prompter), 0);
    EXPECT_EQ(ReadDatafile(dir.path().string(), 0, untouched, prompter), 0);
    expectSameSlot(untouched, sentinelSlot());
    EXPECT_TRUE(prompter.calls().empty());
}

TEST(Datafile, FailedWriteReportsZeroAndKeepsTheOldFile) {
    TempDir dir;
    const std::string file = dir.write("plain.txt", "not a folder");
    EXPECT_EQ(WriteDatafile(file + "/x.dup", sampleSlot()), 0);
    EXPECT_EQ(ReadFileBytes(file), "not a folder");
}

TEST(Datafile, LabelIsTheFileNameWithoutItsExtension) {
    EXPECT_EQ(DatafileLabel("/home/u/DupData/PrimaryData.dup"), "Data file: PrimaryData");
    EXPECT_EQ(DatafileLabel("x.dup"), "Data file: x");
    EXPECT_EQ(DatafileLabel("/a/ab"), "Data file: ");
}

TEST(Datafile, PurgeDropsMissingAndMarkedEntriesKeepingTheOrder) {
    TempDir dir;
    const std::string a = dir.write("a.jpg", "");
    const std::string b = dir.write("b.jpg", "");
    const std::string c = dir.write("c.jpg", "");
    const std::string marked = dir.write("marked.jpg", "");
    DatafileSlot slot;
    std::vector<std::string> paths = {a, dir.file("gone.jpg"), b, marked, kDeletedEntry, c};
    std::vector<ImageRecord> records(paths.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i].nWidth = 10;
        records[i].nSumRed = static_cast<std::uint16_t>(i);
    }
    records[3].nWidth = 0;  // deleted in the viewer, file still there
    records[4].nWidth = 0;
    slot.setEntries(std::move(paths), std::move(records));

    const PurgeResult result = PurgeMissingRecords(slot);
    EXPECT_EQ(result.removed, 3);
    EXPECT_TRUE(result.removedExisting);
    EXPECT_EQ(slot.paths(), (std::vector<std::string>{a, b, c}));
    ASSERT_EQ(slot.count(), 3);
    EXPECT_EQ(slot.records()[0].nSumRed, 0);
    EXPECT_EQ(slot.records()[1].nSumRed, 2);
    EXPECT_EQ(slot.records()[2].nSumRed, 5);

    std::filesystem::remove(b);
    const PurgeResult onlyMissing = PurgeMissingRecords(slot);
    EXPECT_EQ(onlyMissing.removed, 1);
    EXPECT_FALSE(onlyMissing.removedExisting);
    EXPECT_EQ(slot.paths(), (std::vector<std::string>{a, c}));
}
