// twinly-cli searching several data files in one run.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <random>

#include "cli_process.h"
#include "datafile_io.h"
#include "temp_dir.h"
#include "test_records.h"

namespace {

constexpr const char* kShared = "/pictures/in-two-files.jpg";

struct Row {
    std::string image1;
    std::string image2;
    std::string percent;
    std::string data1;
    std::string data2;
    bool operator<(const Row& other) const {
        return std::tie(image1, image2, percent) <
               std::tie(other.image1, other.image2, other.percent);
    }
    bool operator==(const Row& other) const {
        return image1 == other.image1 && image2 == other.image2 && percent == other.percent;
    }
};

// The rows of a CSV file of plain fields.
std::vector<Row> CsvRows(const std::string& path) {
    const std::string text = ReadFileBytes(path);
    std::vector<Row> rows;
    std::size_t start = text.find("\r\n");
    EXPECT_EQ(text.substr(0, start), "match,percent,image1,image2,data1,data2");
    for (std::size_t end; (end = text.find("\r\n", start + 2)) != std::string::npos; start = end) {
        std::vector<std::string> fields(1);
        for (const char c : text.substr(start + 2, end - start - 2)) {
            if (c == ',') {
                fields.emplace_back();
            } else {
                fields.back() += c;
            }
        }
        EXPECT_EQ(fields.size(), 6u);
        fields.resize(6);
        rows.push_back({fields[2], fields[3], fields[1], fields[4], fields[5]});
    }
    return rows;
}

// Four data files of pictures with near copies in every file; one picture
// is in two files under one path.
std::vector<std::string> WriteFourFiles(const TempDir& dir) {
    std::mt19937 rng(2023);
    std::vector<SlotEntries> parts(4);
    std::vector<ImageRecord> originals;
    for (int n = 0; n < 160; ++n) {
        SlotEntries& part = parts[rng() % 4];
        ImageRecord record = RandomRecord(rng);
        if (!originals.empty() && rng() % 3 == 0) {
            record = NearCopy(originals[rng() % originals.size()], rng, 3, 5, rng() % 4 == 0);
        } else {
            originals.push_back(record);
        }
        part.records.push_back(record);
        part.paths.push_back("/pictures/" + std::to_string(n) + ".jpg");
    }
    for (const std::size_t k : {1, 3}) {
        parts[k].records.push_back(originals.front());
        parts[k].paths.emplace_back(kShared);
    }
    std::vector<std::string> paths;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        DatafileSlot slot;
        slot.m_strSourceFolder = "/pictures/set" + std::to_string(k);
        slot.setEntries(parts[k].paths, parts[k].records);
        paths.push_back(dir.file("part" + std::to_string(k) + ".dup"));
        EXPECT_EQ(WriteDatafile(paths.back(), slot), 1);
    }
    return paths;
}

std::vector<Row> Find(std::vector<std::string> args, const std::string& output) {
    args.insert(args.begin(), "find");
    args.insert(args.end(), {"-o", output, "--format", "csv", "--low", "90", "--mirror", "--limit",
                             "1000000", "--quiet"});
    const CliResult run = RunCli(args);
    EXPECT_EQ(run.status, 0) << run.err;
    return CsvRows(output);
}

}  // namespace

TEST(CliManyFiles, FourDataFilesGiveExactlyThePairsOfTheTenOneAndTwoFileRuns) {
    TempDir dir;
    const std::vector<std::string> files = WriteFourFiles(dir);
    const std::string out = dir.file("out.csv");
    std::vector<Row> all = Find(files, out);
    std::vector<Row> expected;
    for (std::size_t f = 0; f < files.size(); ++f) {
        const std::vector<Row> one = Find({files[f]}, out);
        expected.insert(expected.end(), one.begin(), one.end());
        // The earlier file's image is image 1, as in the run over all four.
        for (std::size_t g = f + 1; g < files.size(); ++g) {
            const std::vector<Row> two = Find({files[g], "--secondary", files[f]}, out);
            expected.insert(expected.end(), two.begin(), two.end());
        }
    }
    EXPECT_GT(all.size(), 20u);
    // Each image's own data file is named beside it (the one in two files aside).
    for (const Row& row : all) {
        const auto fileOf = [&](const std::string& image) {
            for (const std::string& file : files) {
                if (ReadFileBytes(file).find(image) != std::string::npos) {
                    return file;
                }
            }
            return std::string();
        };
        if (row.image1 != kShared && row.image2 != kShared) {
            EXPECT_EQ(row.data1, fileOf(row.image1));
            EXPECT_EQ(row.data2, fileOf(row.image2));
        }
        EXPECT_NE(row.image1, row.image2) << "the picture in two files is not its own duplicate";
    }
    std::sort(all.begin(), all.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(all, expected);
}

TEST(CliManyFiles, TheLogAndJsonNameEveryFileSearched) {
    TempDir dir;
    const std::vector<std::string> files = WriteFourFiles(dir);
    const std::string log = dir.file("all.log");
    const CliResult run = RunCli({"find", files[0], files[1], files[2], "-o", log, "--low", "90"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find(" in 3 data files"), std::string::npos) << run.err;
    const std::string text = ReadFileBytes(log);
    for (std::size_t k = 0; k < 3; ++k) {
        const std::string named =
            "; Data file " + std::to_string(k + 1) + " of 3: " + files[k] + ", ";
        EXPECT_NE(text.find(named), std::string::npos) << named << "\n" << text.substr(0, 800);
        EXPECT_NE(text.find("; Source: /pictures/set" + std::to_string(k) + "\r\n"),
                  std::string::npos);
    }

    const std::string json = dir.file("all.json");
    ASSERT_EQ(RunCli({"find", files[0], files[1], "--secondary", files[2], "-o", json, "--format",
                      "json", "--low", "90", "--quiet"})
                  .status,
              0);
    const QJsonObject root =
        QJsonDocument::fromJson(QByteArray::fromStdString(ReadFileBytes(json))).object();
    const QJsonArray searched = root["data_files"].toArray();
    ASSERT_EQ(searched.size(), 3);
    for (int k = 0; k < 3; ++k) {
        const QJsonObject file = searched[k].toObject();
        EXPECT_EQ(file["path"].toString().toStdString(), files[static_cast<std::size_t>(k)]);
        EXPECT_EQ(file["role"].toString(), k < 2 ? "primary" : "secondary");
    }
    EXPECT_EQ(root["primary_images"].toInt(),
              searched[0].toObject()["images"].toInt() + searched[1].toObject()["images"].toInt());
    const QJsonArray pairs = root["pairs"].toArray();
    ASSERT_FALSE(pairs.isEmpty());
    for (const QJsonValue& pair : pairs) {
        EXPECT_EQ(pair.toObject()["data1"].toString().toStdString(), files[2]);
        EXPECT_NE(pair.toObject()["data2"].toString().toStdString(), files[2]);
    }
}
