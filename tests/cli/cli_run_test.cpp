#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <set>
#include <sstream>

#include <sys/stat.h>

#include "access_faults.h"
#include "build_run.h"
#include "cli_process.h"
#include "datafile_io.h"
#include "find_request.h"
#include "image_loading.h"
#include "log_reader.h"
#include "match_list.h"
#include "scripted_prompter.h"
#include "signature.h"
#include "source_gather.h"
#include "temp_dir.h"
#include "test_images.h"

namespace fs = std::filesystem;

namespace {

// A folder of small images: exact copies, a re-compressed copy, a greyscale
// image, an elongated one and a file that is not an image.
std::string makePictures(const TempDir& dir, const std::string& name = "pics") {
    // Qt's writer takes UTF-8 names: the images are made under a plain name
    // and the folder then given its own bytes.
    const std::string folder = fs::canonical(dir.path()).string() + "/" + "making";
    fs::create_directories(folder + "/sub");
    const QImage warm = GradientImage(64, 48, Qt::red, Qt::yellow);
    const QImage cool = GradientImage(60, 40, Qt::blue, Qt::green);
    EXPECT_TRUE(WriteImage(warm, folder + "/warm.png", "PNG"));
    EXPECT_TRUE(WriteImage(warm, folder + "/warm copy.png", "PNG"));
    EXPECT_TRUE(WriteImage(cool, folder + "/cool.jpg", "JPG", 95));
    EXPECT_TRUE(WriteImage(cool, folder + "/sub/cool small.jpg", "JPG", 60));
    EXPECT_TRUE(WriteImage(SolidImage(40, 40, QColor(90, 90, 90)), folder + "/grey.bmp", "BMP"));
    EXPECT_TRUE(WriteImage(GradientImage(400, 60, Qt::white, Qt::darkMagenta), folder + "/wide.png",
                           "PNG"));
    dir.write("making/broken.jpg", "not a picture");
    const std::string named = fs::canonical(dir.path()).string() + "/" + name;
    fs::rename(folder, named);
    return named;
}

// A picture with a resized and a mirrored copy, a second picture with an
// exact copy, and one without copies.
std::string makeCopies(const TempDir& dir) {
    const std::string folder = fs::canonical(dir.path()).string() + "/copies";
    fs::create_directories(folder);
    const QImage original = GradientImage(96, 64, Qt::red, Qt::yellow);
    EXPECT_TRUE(WriteImage(original, folder + "/original.png", "PNG"));
    EXPECT_TRUE(
        WriteImage(original.scaled(192, 128, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                   folder + "/resized.png", "PNG"));
    EXPECT_TRUE(WriteImage(original.mirrored(true, false), folder + "/mirrored.png", "PNG"));
    const QImage other = GradientImage(60, 40, Qt::blue, Qt::green);
    EXPECT_TRUE(WriteImage(other, folder + "/other.png", "PNG"));
    EXPECT_TRUE(WriteImage(other, folder + "/other copy.png", "PNG"));
    EXPECT_TRUE(WriteImage(SolidImage(50, 50, Qt::black), folder + "/alone.png", "PNG"));
    return folder;
}

DatafileSlot engineBuild(const std::string& folder, bool subfolders) {
    DatafileSlot slot;
    slot.m_nSourceKind = 1;
    slot.m_strSourceFolder = folder;
    slot.m_bSubfolders = subfolders ? 1 : 0;
    ScriptedPrompter prompter;
    EXPECT_EQ(GatherSourcePaths(BuildRun::BuildPrimary, slot, prompter), GatherResult::Gathered);
    JobProgress progress;
    BuildResult built = BuildSlot(slot.paths(), MakeRunSigner(BuildRun::BuildPrimary), 1, progress);
    slot.setEntries(std::move(built.names), std::move(built.records));
    return slot;
}

DatafileSlot readData(const std::string& path) {
    DatafileSlot slot;
    ScriptedPrompter prompter;
    EXPECT_EQ(ReadDatafile(path, 0, slot, prompter), 1) << path;
    slot.m_strSourceNote = slot.sourceNote();
    return slot;
}

std::vector<std::string> lines(const std::string& bytes) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        out.push_back(bytes.substr(start, end - start));
    }
    EXPECT_EQ(start, bytes.size()) << "every line ends in CR LF";
    return out;
}

// Two logs are the same run when they differ in nothing but the date line.
void expectSameRun(const std::string& cliLog, const std::string& engineLog) {
    std::vector<std::string> a = lines(ReadFileBytes(cliLog));
    std::vector<std::string> b = lines(ReadFileBytes(engineLog));
    ASSERT_GT(a.size(), 3u);
    ASSERT_EQ(a.size(), b.size());
    a[2] = b[2] = "";
    EXPECT_EQ(a, b);
}

// The bytes of a JSON string as written: UTF-8, with \udc80..\udcff for bytes
// that were not UTF-8.
std::string bytesOf(const QString& text) {
    std::string bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit >= 0xDC80 && unit <= 0xDCFF && (i == 0 || !text[i - 1].isHighSurrogate())) {
            bytes += static_cast<char>(unit - 0xDC00);
        } else {
            const qsizetype n = text[i].isHighSurrogate() ? 2 : 1;
            bytes += text.mid(i, n).toStdString();
            i += n - 1;
        }
    }
    return bytes;
}

// RFC 4180 rows.
std::vector<std::vector<std::string>> parseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& field = rows.back().back();
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"' && field.empty()) {
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            rows.emplace_back(1);
        } else {
            EXPECT_NE(c, '"') << "a bare quote in an unquoted field";
            field += c;
        }
    }
    EXPECT_EQ(rows.back(), std::vector<std::string>(1)) << "the last row ends in CR LF";
    rows.pop_back();
    return rows;
}

}  // namespace

TEST(CliRun, BuildWritesTheEnginesDataFileAndFindItsLog) {
    TempDir dir;
    const std::string folder = makePictures(dir);
    const std::string data = dir.file("data.dup");
    const CliResult build = RunCli({"build", folder, "-o", data, "--recursive", "--quiet"});
    ASSERT_EQ(build.status, 0) << build.err;
    EXPECT_EQ(build.err, "");  // quiet
    const DatafileSlot engine = engineBuild(folder, true);
    ASSERT_EQ(WriteDatafile(dir.file("engine.dup"), engine), 1);
    EXPECT_EQ(ReadFileBytes(data), ReadFileBytes(dir.file("engine.dup")));

    const DatafileSlot slot = readData(data);
    ImageRecord single;
    RgbBuffer image;
    ASSERT_TRUE(LoadImageFile(folder + "/cool.jpg", image));
    MakeSingleImageSignature(image, kDefaultThumbFilter, single);

    struct Run {
        std::vector<std::string> options;
        FindRequest request;
        std::string low, high;
    };
    FindRequest plain;
    plain.settings.adjustAmount = 5;
    FindRequest tuned;
    tuned.settings = {
        kMethodVariance, MatchRestriction::SameAspect, 5, 5, 10, true, true, true, true, true};
    tuned.dupsLimit = 10;
    FindRequest between = plain;
    between.mode = CompareMode::SecondaryToPrimary;
    between.secondary = &slot;
    FindRequest one = tuned;
    one.mode = CompareMode::SingleToPrimary;
    one.singleRecord = &single;
    one.singlePath = folder + "/cool.jpg";
    const std::vector<std::string> tunedOptions = {
        "--low",      "60",       "--high",          "99.5",        "--method", "variance",
        "--restrict", "aspect",   "--tolerance",     "5",           "--adjust", "10",
        "--mirror",   "--rotate", "--use-luminance", "--prescreen", "--limit",  "10"};
    std::vector<std::string> singleOptions = tunedOptions;
    singleOptions.insert(singleOptions.end(), {"--single", folder + "/cool.jpg"});
    const Run runs[] = {
        {{}, plain, "98.0", "100"},
        {tunedOptions, tuned, "60", "99.5"},
        {{"--secondary", data, "--low", "90"}, between, "90", "100"},
        {singleOptions, one, "60", "99.5"},
    };
    int pairs = 0;
    for (const Run& run : runs) {
        std::vector<std::string> args = {"find", data, "-o", dir.file("cli.log"), "--quiet"};
        args.insert(args.end(), run.options.begin(), run.options.end());
        const CliResult find = RunCli(args);
        ASSERT_EQ(find.status, 0) << find.err;

        FindRequest request = run.request;
        request.primary = &slot;
        FindRunInput input = MakeFindRunInput(request, MatchBand::Corrected(run.low, run.high));
        input.logPath = dir.file("engine.log");
        JobProgress progress;
        const FindRunResult result = RunFindDups(input, progress);
        ASSERT_TRUE(result.logSaved);
        pairs += result.matchTotal;
        SCOPED_TRACE(args.size());
        expectSameRun(dir.file("cli.log"), dir.file("engine.log"));
    }
    EXPECT_GE(pairs, 4);  // else the comparisons above compare empty logs
}

TEST(CliRun, ProgressGoesToStderrByTenthsAndInfoShowsTheHeader) {
    TempDir dir;
    const std::string folder = makePictures(dir);
    const std::string data = dir.file("data.dup");
    const CliResult build = RunCli({"build", folder, "-o", data, "--threads", "1"});
    ASSERT_EQ(build.status, 0) << build.err;
    EXPECT_EQ(build.out, "");
    // One line per tenth reached, in order, ending at 100%; the tenths a
    // single image jumps over are not printed.
    std::vector<int> tenths;
    for (std::size_t at = 0; (at = build.err.find("Reading: ", at)) != std::string::npos; ++at) {
        EXPECT_TRUE(at == 0 || build.err[at - 1] == '\n');
        tenths.push_back(std::stoi(build.err.substr(at + 9)));
    }
    ASSERT_FALSE(tenths.empty()) << build.err;
    EXPECT_EQ(tenths.back(), 100);
    for (std::size_t i = 0; i < tenths.size(); ++i) {
        EXPECT_EQ(tenths[i] % 10, 0);
        EXPECT_TRUE(i == 0 || tenths[i] > tenths[i - 1]) << build.err;
    }
    EXPECT_NE(build.err.find("wrote " + data + ": 6 images, 1 unreadable"), std::string::npos)
        << build.err;

    const CliResult info = RunCli({"info", data, "--records"});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.err, "");
    for (const std::string& line :
         {std::string("Data file: data\n"), std::string("Records: 6\n"),
          std::string("Deleted or unreadable: 1\n"), std::string("Source kind: folder (1)\n"),
          "Source path: " + folder + "\n", std::string("Subfolders: no\n"),
          "; Source: " + folder + "\n", "\t" + folder + "/warm copy.png\n",
          std::string("\t0\t0\t0\t0\t0\t0\tDeleted\n")}) {
        EXPECT_NE(info.out.find(line), std::string::npos) << line << "\n" << info.out;
    }
    EXPECT_EQ(RunCli({"info", data}).out.find("Deleted\n"), std::string::npos);
}

TEST(CliRun, RebuildReadsOnlyNewImagesAndDropsGoneOnes) {
    TempDir dir;
    const std::string folder = makePictures(dir);
    const std::string data = dir.file("data.dup");
    ASSERT_EQ(RunCli({"build", folder, "-o", data, "--quiet"}).status, 0);
    const DatafileSlot before = readData(data);
    // A file whose content changed under the same name keeps its old record:
    // the rebuild does not read it again.
    ASSERT_TRUE(WriteImage(SolidImage(64, 48, Qt::black), folder + "/warm.png", "PNG"));
    fs::remove(folder + "/cool.jpg");
    ASSERT_TRUE(WriteImage(SolidImage(30, 30, Qt::cyan), folder + "/new.png", "PNG"));

    const std::string updated = dir.file("updated.dup");
    const CliResult rebuild = RunCli({"rebuild", data, "-o", updated});
    ASSERT_EQ(rebuild.status, 0) << rebuild.err;
    EXPECT_NE(rebuild.err.find("(count change +2)"), std::string::npos) << rebuild.err;
    const DatafileSlot after = readData(updated);
    // The purge drops broken.jpg and cool.jpg from the 6 old entries; the
    // folder now holds the 4 others, broken.jpg and new.png.
    EXPECT_EQ(after.count(), 6);
    const auto recordOf = [](const DatafileSlot& slot, const std::string& path) {
        const auto it = std::find(slot.paths().begin(), slot.paths().end(), path);
        EXPECT_NE(it, slot.paths().end()) << path;
        return it == slot.paths().end() ? ImageRecord{} : slot.records()[it - slot.paths().begin()];
    };
    EXPECT_EQ(recordOf(after, folder + "/warm.png"), recordOf(before, folder + "/warm.png"));
    ImageRecord fresh;
    ASSERT_TRUE(
        SignatureFromFile(folder + "/new.png", ResizeMode::Fallback, kDefaultThumbFilter, fresh));
    EXPECT_EQ(recordOf(after, folder + "/new.png"), fresh);
    EXPECT_EQ(std::count(after.paths().begin(), after.paths().end(), folder + "/cool.jpg"), 0);
    EXPECT_EQ(after.m_strSourceFolder, folder);
}

TEST(CliRun, BadCommandLinesExitWithTheUsage) {
    TempDir dir;
    const std::string data = dir.file("data.dup");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"scan", "x"},
        {"find", data},
        {"find", data, "-o", "x.log", "--low", "ninety"},
        {"find", data, "-o", "x.log", "--limit", "5"},
        {"find", data, "-o", "x.log", "--method", "cosine"},
        {"find", data, "-o", "x.log", "--secondary", data, "--single", "a.png"},
        {"find", data, "-o", "x.log", "--threads"},
        {"build", "folder", "-o", "x.dup", "--mirror"},
        {"rebuild", data, "-o", "x.dup", "--recursive"},
        {"info", data, "more"},
        {"info", "--records"},
        {"--version", "info"},
    };
    for (const auto& args : cases) {
        const CliResult result = RunCli(args);
        EXPECT_EQ(result.status, 2) << ::testing::PrintToString(args);
        EXPECT_NE(result.err.find("Usage:\n  twinly-cli build SOURCE"), std::string::npos);
        EXPECT_EQ(result.out, "");
    }
    const CliResult help = RunCli({"find", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage:"), std::string::npos);
    const CliResult version = RunCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("twinly-cli ", 0), 0u);
    // A text that could not be written is a failure, as for any output.
    for (const char* asked : {"--version", "--help"}) {
        const CliResult full =
            RunCli({"-c", std::string("exec '") + TWINLY_CLI_PATH + "' " + asked + " > /dev/full"},
                   {"/bin/bash"});
        EXPECT_EQ(full.status, 1) << asked;
        EXPECT_NE(full.err.find("cannot write the standard output"), std::string::npos);
    }
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(CliRun, UnreadableInputsAndUnwritableOutputsExitOneNamingTheFile) {
    TempDir dir;
    const std::string folder = makePictures(dir);
    const std::string data = dir.file("data.dup");
    ASSERT_EQ(RunCli({"build", folder, "-o", data, "--quiet"}).status, 0);
    const std::string whole = ReadFileBytes(data);
    const std::string junk = dir.write("junk.dup", "XB" + whole.substr(2));
    const std::string cut = dir.write("cut.dup", whole.substr(0, whole.size() - 100));
    const std::string log = dir.file("out.log");
    struct Case {
        std::vector<std::string> args;
        std::string names;
        std::string says;
    };
    const Case cases[] = {
        {{"find", junk, "-o", log}, junk, "Not a vaild Dup data file"},
        {{"find", data, "-o", log, "--secondary", junk}, junk, "File header not = to WH"},
        {{"find", cut, "-o", log}, cut, "not a complete image data file"},
        {{"info", dir.file("none.dup")}, dir.file("none.dup"), "No such file or directory"},
        {{"rebuild", folder, "-o", log}, folder, "it is a folder"},
        {{"find", data, "-o", log, "--single", dir.file("none.png")},
         dir.file("none.png"),
         "Unable to open file. Error: "},
        {{"build", dir.file("nothing"), "-o", log}, dir.file("nothing"), "no such file or folder"},
        {{"build", folder + "/sub", "-o", log},
         folder + "/sub",
         "You need at least 2 image files to process!"},
        {{"build", folder, "-o", dir.file("junk.dup/x.dup")},
         dir.file("junk.dup/x.dup"),
         "no folder"},
        {{"find", data, "-o", data}, data, "it is an input"},
    };
    for (const Case& c : cases) {
        const CliResult result = RunCli(c.args);
        EXPECT_EQ(result.status, 1) << ::testing::PrintToString(c.args) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_NE(result.err.find(c.names), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(log));
    }
    EXPECT_EQ(ReadFileBytes(data), whole);
}

TEST(CliRun, CsvAndJsonCarryAnyPathBytes) {
    TempDir dir;
    const std::string folder = makePictures(dir, "a,b \"q\" \xc3\xa9\xff");
    const std::string data = dir.file("data.dup");
    ASSERT_EQ(RunCli({"build", folder, "-o", data, "--quiet"}).status, 0);
    const std::vector<std::string> expected = {"1", "100.0", folder + "/warm copy.png",
                                               folder + "/warm.png"};

    const CliResult csv = RunCli({"find", data, "-o", dir.file("pairs.csv"), "--format", "csv"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    const auto rows = parseCsv(ReadFileBytes(dir.file("pairs.csv")));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0],
              (std::vector<std::string>{"match", "percent", "image1", "image2", "data1", "data2"}));
    std::vector<std::string> pair = rows[1];
    ASSERT_EQ(pair.size(), 6u);
    EXPECT_EQ(pair[4], data);
    EXPECT_EQ(pair[5], data);
    pair.resize(4);
    if (pair[2] > pair[3]) {
        std::swap(pair[2], pair[3]);  // the folder's listing order decides which comes first
    }
    EXPECT_EQ(pair, expected);

    const CliResult json = RunCli({"find", data, "-o", dir.file("pairs.json"), "--format", "json"});
    ASSERT_EQ(json.status, 0) << json.err;
    const std::string text = ReadFileBytes(dir.file("pairs.json"));
    EXPECT_TRUE(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toUtf8() ==
                QByteArray(text.data(), static_cast<qsizetype>(text.size())))
        << "valid UTF-8";
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonObject root = doc.object();
    EXPECT_EQ(root["match_total"].toInt(), 1);
    EXPECT_EQ(root["primary_images"].toInt(), 6);
    EXPECT_EQ(root["low"].toDouble(), 98.0);
    const QJsonArray pairs = root["pairs"].toArray();
    ASSERT_EQ(pairs.size(), 1);
    const QJsonObject first = pairs[0].toObject();
    std::vector<std::string> got = {std::to_string(first["match"].toInt()),
                                    std::to_string(first["percent"].toDouble()).substr(0, 5),
                                    bytesOf(first["image1"].toString()),
                                    bytesOf(first["image2"].toString())};
    if (got[2] > got[3]) {
        std::swap(got[2], got[3]);
    }
    EXPECT_EQ(got, expected);
}

TEST(CliRun, InterruptedBuildLeavesNoFileBehind) {
    TempDir dir;
    const std::string folder = fs::canonical(dir.path()).string() + "/many";
    fs::create_directories(folder);
    // Copies of one large photo: enough work, even in an optimised build, that
    // most of it is still ahead when the first tenth is reported.
    ASSERT_TRUE(WriteImage(GradientImage(4000, 3000, Qt::darkCyan, Qt::yellow), folder + "/0.jpg",
                           "JPG", 90));
    for (int i = 1; i < 400; ++i) {
        fs::copy_file(folder + "/0.jpg", folder + "/" + std::to_string(i) + ".jpg");
    }
    const std::string data = dir.file("data.dup");
    CliProcess build({"build", folder, "-o", data, "--threads", "1"});
    ASSERT_TRUE(build.waitForStderr("Reading: 10%", std::chrono::seconds(120))) << build.err();
    build.sendSignal(SIGINT);
    EXPECT_EQ(build.finish(), 130) << build.err();
    EXPECT_NE(build.err().find("stopped; " + data + " was not written"), std::string::npos)
        << build.err();
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        EXPECT_EQ(entry.path().filename(), "many") << "left behind: " << entry.path();
    }
}

TEST(CliRun, GroupsFormatPutsEachPictureWithAllItsCopiesOnOneLine) {
    TempDir dir;
    const std::string folder = makeCopies(dir);
    const std::string data = dir.file("data.dup");
    ASSERT_EQ(RunCli({"build", folder, "-o", data, "--quiet"}).status, 0);

    const std::string out = dir.file("groups.txt");
    const CliResult run =
        RunCli({"find", data, "-o", out, "--format", "groups", "--mirror", "--quiet"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::set<std::set<std::string>> groups;
    std::istringstream text(ReadFileBytes(out));
    for (std::string line; std::getline(text, line);) {
        std::set<std::string> group;
        std::istringstream fields(line);
        for (std::string path; std::getline(fields, path, '\t');) {
            group.insert(path);
        }
        groups.insert(group);
    }
    const std::set<std::set<std::string>> expected = {
        {folder + "/original.png", folder + "/resized.png", folder + "/mirrored.png"},
        {folder + "/other.png", folder + "/other copy.png"}};
    EXPECT_EQ(groups, expected) << ReadFileBytes(out);
}

TEST(CliRun, IgnoredPairStaysOutOfFindUntilRemovedChangedOrNoIgnore) {
    TempDir dir;
    const std::string folder = makeCopies(dir);
    const std::string data = dir.file("data.dup");
    ASSERT_EQ(RunCli({"build", folder, "-o", data, "--quiet"}).status, 0);
    const ProcessSetup user{"", {"XDG_DATA_HOME=" + dir.file("share")}, false};
    const std::string listFile = dir.file("share/Velmora/Twinly/NotDuplicates.txt");
    const std::string csv = dir.file("pairs.csv");
    const auto pairsFound = [&](std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"find", data, "-o", csv, "--format", "csv", "--quiet"};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliResult run = RunCli(args, user);
        EXPECT_EQ(run.status, 0) << run.err;
        std::set<std::set<std::string>> pairs;
        for (const auto& row : parseCsv(ReadFileBytes(csv))) {
            if (row.size() == 6 && row[0] != "match") {
                pairs.insert({row[2], row[3]});
            }
        }
        return pairs;
    };
    const std::string original = folder + "/original.png";
    const std::string resized = folder + "/resized.png";
    const std::set<std::set<std::string>> all = pairsFound();
    ASSERT_EQ(all.size(), 2u);
    ASSERT_EQ(all.count({original, resized}), 1u);
    std::set<std::set<std::string>> rest = all;
    rest.erase({original, resized});

    // Given relative to the working folder, in the other order.
    const CliResult add = RunCli({"-c", "cd '" + folder + "' && exec '" + TWINLY_CLI_PATH +
                                            "' ignore add resized.png ../copies/original.png"},
                                 {"/bin/bash", user.environment, false});
    ASSERT_EQ(add.status, 0) << add.err;
    ASSERT_TRUE(fs::is_regular_file(listFile));
    EXPECT_EQ(pairsFound(), rest);
    EXPECT_EQ(pairsFound({"--no-ignore"}), all);
    const std::string log = dir.file("pairs.log");
    ASSERT_EQ(RunCli({"find", data, "-o", log, "--quiet"}, user).status, 0);
    EXPECT_EQ(lines(ReadFileBytes(log))[4], "; Pairs marked not duplicate left out: 1");

    const CliResult listed = RunCli({"ignore", "list"}, user);
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out, original + "\t" + resized + "\n");
    fs::last_write_time(resized, fs::last_write_time(resized) - std::chrono::seconds(60));
    EXPECT_EQ(pairsFound(), all) << "a changed file is compared again";
    EXPECT_EQ(RunCli({"ignore", "list"}, user).out, original + "\t" + resized + "\tchanged\n");

    ASSERT_EQ(RunCli({"ignore", "add", original, resized}, user).status, 0);
    EXPECT_EQ(pairsFound(), rest);
    ASSERT_EQ(RunCli({"ignore", "remove", original, resized}, user).status, 0);
    EXPECT_EQ(pairsFound(), all);
    EXPECT_EQ(RunCli({"ignore", "list"}, user).out, "");
    const CliResult again = RunCli({"ignore", "remove", original, resized}, user);
    EXPECT_EQ(again.status, 0);
    EXPECT_NE(again.err.find("were not marked"), std::string::npos) << again.err;
}

TEST(CliRun, DamagedIgnoreListStopsFindUntilClearedAndBadIgnoreLinesAreRefused) {
    TempDir dir;
    const std::string folder = makeCopies(dir);
    const std::string data = dir.file("data.dup");
    ASSERT_EQ(RunCli({"build", folder, "-o", data, "--quiet"}).status, 0);
    const ProcessSetup user{"", {"XDG_DATA_HOME=" + dir.file("share")}, false};
    const std::string listFile =
        dir.write("share/Velmora/Twinly/NotDuplicates.txt", "NOTDUPS\r\n1 2 3\r\n");
    const std::string log = dir.file("pairs.log");
    CliResult run = RunCli({"find", data, "-o", log, "--quiet"}, user);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(listFile), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(log));
    run = RunCli({"ignore", "add", folder + "/other.png", folder + "/alone.png"}, user);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ReadFileBytes(listFile), "NOTDUPS\r\n1 2 3\r\n") << "a damaged list is kept";
    EXPECT_EQ(RunCli({"find", data, "-o", log, "--quiet", "--no-ignore"}, user).status, 0);
    EXPECT_EQ(RunCli({"ignore", "clear"}, user).status, 0);
    EXPECT_EQ(RunCli({"find", data, "-o", log, "--quiet"}, user).status, 0);

    run = RunCli({"ignore", "add", folder + "/other.png", folder + "/missing.png"}, user);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(folder + "/missing.png"), std::string::npos) << run.err;
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"ignore"},
                                               {"ignore", "add", "a.png"},
                                               {"ignore", "add", "a.png", "b.png", "c.png"},
                                               {"ignore", "list", "a.png"},
                                               {"ignore", "forget"},
                                               {"ignore", "clear", "-o", "x"},
                                               {"info", data, "--no-ignore"}}) {
        EXPECT_EQ(RunCli(args, user).status, 2) << ::testing::PrintToString(args);
    }
    EXPECT_EQ(RunCli({"ignore", "list"}, user).out, "");
}

TEST(CliRun, SpecialFilesAsDataFilesAreRefusedWithoutWaiting) {
    TempDir dir;
    const std::string folder = makePictures(dir);
    const std::string data = dir.file("pics.dup");
    ASSERT_EQ(RunCli({"build", folder, "-o", data}).status, 0);
    const std::string fifo = dir.file("data.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::vector<std::vector<std::string>> commands = {
        {"info", fifo},
        {"find", fifo, "-o", dir.file("a.log")},
        {"rebuild", fifo, "-o", dir.file("new.dup")},
        {"find", data, "--secondary", fifo, "-o", dir.file("b.log")},
        {"info", "/dev/null"},
    };
    for (const auto& args : commands) {
        // Opening the FIFO would wait for a writer for good; the bound ends the test.
        CliProcess run(args);
        EXPECT_EQ(run.finish(std::chrono::seconds(20)), 1) << args[0] << " " << args[1];
        const std::string& named = args[1] == data ? fifo : args[1];
        const std::string kind = named == fifo ? "a FIFO" : "a device";
        EXPECT_NE(
            run.err().find("cannot read " + named + ": it is " + kind + ", not an image data file"),
            std::string::npos)
            << run.err();
    }
    EXPECT_FALSE(fs::exists(dir.file("a.log")) || fs::exists(dir.file("b.log")) ||
                 fs::exists(dir.file("new.dup")));
}

TEST(CliRun, NamesWithLineBreaksAreLeftOutNamedAndNeverReachTheLog) {
    TempDir dir;
    const std::string folder = makePictures(dir);
    // Copies of real images under hostile names, one a CR LF spelling another path.
    fs::copy_file(folder + "/warm.png", folder + "/warm\rcopy.png");
    fs::create_directories(folder + "/x\r\nImage 2 path: ");
    fs::copy_file(folder + "/cool.jpg", folder + "/x\r\nImage 2 path: /cool.jpg");
    const std::string data = dir.file("pics.dup");
    const CliResult built = RunCli({"build", folder, "--recursive", "-o", data});
    ASSERT_EQ(built.status, 0) << built.err;
    EXPECT_NE(built.err.find("Left out 2 files whose name holds a line break"), std::string::npos)
        << built.err;
    EXPECT_NE(built.err.find(folder + "/warm\\rcopy.png"), std::string::npos) << built.err;
    const DatafileSlot slot = readData(data);
    for (const std::string& path : slot.paths()) {
        EXPECT_EQ(path.find_first_of("\r\n"), std::string::npos) << path;
    }
    const std::string log = dir.file("pairs.log");
    const CliResult found = RunCli({"find", data, "-o", log, "--low", "90"});
    ASSERT_EQ(found.status, 0) << found.err;
    MatchList list;
    ASSERT_EQ(ReadDupsLog(log, list), kLogRead);
    for (const auto* side : {&list.m_leftPaths, &list.m_rightPaths}) {
        for (const std::string& path : *side) {
            EXPECT_EQ(path.rfind(folder + "/", 0), 0u) << "outside the scanned folder: " << path;
        }
    }
}

TEST(CliRun, AFolderThatCannotBeListedIsNamed) {
    TempDir dir;
    const std::string folder = makePictures(dir);
    fs::create_directories(folder + "/locked");
    if (!OpenToEveryone(dir.path())) {
        GTEST_SKIP() << "the test folder cannot be opened to an unprivileged user";
    }
    for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
        ::chmod(entry.path().c_str(), entry.is_directory() ? 0755 : 0644);
    }
    ASSERT_EQ(::chmod((folder + "/locked").c_str(), 0), 0);
    const std::string data = dir.file("out/pics.dup");
    fs::create_directories(dir.file("out"));
    ::chmod(dir.file("out").c_str(), 0777);
    std::string err;
    const int status = RunWithoutPrivileges([&] {
        const CliResult result = RunCli({"build", folder, "--recursive", "-o", data});
        return result.err.find("Unable to list the folder " + folder +
                               "/locked/: Permission denied") != std::string::npos
                   ? result.status
                   : 100 + result.status;
    });
    ::chmod((folder + "/locked").c_str(), 0755);
    EXPECT_EQ(status, 1) << "100 + status: the folder was not named; -1: could not run";
    EXPECT_FALSE(fs::exists(data));
}
