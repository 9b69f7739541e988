// Damaged, hostile and misnamed files: every one fails with a code, nothing
// crashes, hangs or prints.

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include <sys/stat.h>
#include <unistd.h>

#include "format_writers.h"
#include "imaging.h"
#include "sample_images.h"
#include "temp_dir.h"
#include "test_images.h"

namespace {

// Collects whatever is written to the process's stdout and stderr meanwhile.
class OutputCapture {
  public:
    OutputCapture() {
        std::fflush(stdout);
        std::fflush(stderr);
        m_file = std::tmpfile();
        m_savedOut = ::dup(1);
        m_savedErr = ::dup(2);
        ::dup2(::fileno(m_file), 1);
        ::dup2(::fileno(m_file), 2);
    }
    ~OutputCapture() { finish(); }
    std::string finish() {
        if (m_file == nullptr) {
            return m_text;
        }
        std::fflush(stdout);
        std::fflush(stderr);
        ::dup2(m_savedOut, 1);
        ::dup2(m_savedErr, 2);
        ::close(m_savedOut);
        ::close(m_savedErr);
        std::rewind(m_file);
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, m_file)) > 0) {
            m_text.append(buffer, n);
        }
        std::fclose(m_file);
        m_file = nullptr;
        return m_text;
    }

  private:
    std::FILE* m_file = nullptr;
    int m_savedOut = -1;
    int m_savedErr = -1;
    std::string m_text;
};

std::uint32_t Crc32(const std::string& bytes, std::size_t from, std::size_t length) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = from; i < from + length; ++i) {
        crc ^= static_cast<unsigned char>(bytes[i]);
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void SetBe(std::string& bytes, std::size_t at, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * (width - 1 - i)));
    }
}

void SetLe(std::string& bytes, std::size_t at, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
    }
}

// The sample's file with its declared size raised far beyond kMaxImagePixels.
std::string Inflated(const Sample& sample) {
    std::string b = ReadFileBytes(sample.path);
    if (sample.name == "rgb.png") {
        SetBe(b, 16, 20000, 4);
        SetBe(b, 20, 20000, 4);
        SetBe(b, 29, Crc32(b, 12, 17), 4);
    } else if (sample.name == "rgb.jpg") {
        const std::size_t sof = b.find("\xFF\xC0");
        SetBe(b, sof + 5, 60000, 2);
        SetBe(b, sof + 7, 60000, 2);
    } else if (sample.name == "rgb.bmp") {
        SetLe(b, 18, 30000, 4);
        SetLe(b, 22, 30000, 4);
    } else if (sample.name == "pattern.gif") {
        SetLe(b, 6, 60000, 2);
        SetLe(b, 8, 60000, 2);
        SetLe(b, 13 + 768 + 5, 60000, 2);
        SetLe(b, 13 + 768 + 7, 60000, 2);
    } else if (sample.name == "plain.tif") {
        const std::size_t ifd =
            static_cast<unsigned char>(b[4]) | (static_cast<unsigned char>(b[5]) << 8);
        const int count = static_cast<unsigned char>(b[ifd]);
        for (int i = 0; i < count; ++i) {
            const std::size_t entry = ifd + 2 + static_cast<std::size_t>(i) * 12;
            const int tag = static_cast<unsigned char>(b[entry]) |
                            (static_cast<unsigned char>(b[entry + 1]) << 8);
            if (tag == 256 || tag == 257) {
                SetLe(b, entry + 8, 60000, 2);
            }
        }
    } else if (sample.name == "checks.wbmp") {
        b = std::string("\0\0\x86\x8d\x20\x86\x8d\x20", 8) + std::string(64, '\x55');
    } else if (sample.name == "top.tga") {
        SetLe(b, 12, 0xFFFF, 2);
        SetLe(b, 14, 0xFFFF, 2);
    } else if (sample.name == "rgb.pcx") {
        SetLe(b, 8, 0xFFFF, 2);
        SetLe(b, 10, 0xFFFF, 2);
    } else if (sample.name == "plain.psd") {
        SetBe(b, 14, 30000, 4);
        SetBe(b, 18, 30000, 4);
    } else {
        return {};
    }
    return b;
}

class BadInputTest : public ::testing::Test {
  protected:
    TempDir m_dir;
};

TEST_F(BadInputTest, EmptyTruncatedAndRandomFilesFailWithACodeAndPrintNothing) {
    const std::vector<Sample> samples = WriteRasterSamples(m_dir);
    std::mt19937 random(1234);
    std::vector<std::string> unexpected;
    OutputCapture capture;
    for (const Sample& sample : samples) {
        const std::string bytes = ReadFileBytes(sample.path);
        struct Variant {
            const char* what;
            std::string bytes;
            int code;  // 0: any failure code
        };
        std::string noise(bytes.size(), '\0');
        for (char& c : noise) {
            c = static_cast<char>(random());
        }
        const std::vector<Variant> variants{
            {"empty", "", kImagingEmptyFile},
            {"header only", bytes.substr(0, std::min<std::size_t>(20, bytes.size() / 2)), 0},
            {"truncated", bytes.substr(0, bytes.size() * 3 / 5), 0},
            {"random", noise, 0},
        };
        for (const Variant& v : variants) {
            const std::string path =
                m_dir.write("bad-" + std::string(v.what) + "-" + sample.name, v.bytes);
            RgbBuffer image;
            const bool ok = DecodeImageFile(path, sample.type, image);
            const int code = ImagingLastError();
            if (ok || code == kImagingOk || (v.code != 0 && code != v.code)) {
                unexpected.push_back(sample.name + " " + v.what + ": ok=" + std::to_string(ok) +
                                     " code=" + std::to_string(code));
            }
        }
    }
    const std::string printed = capture.finish();
    EXPECT_EQ(unexpected, std::vector<std::string>{});
    EXPECT_EQ(printed, "");
}

TEST_F(BadInputTest, HugeDeclaredSizesAreRefusedBeforeDecoding) {
    OutputCapture capture;
    std::vector<std::string> results;
    int tried = 0;
    for (const Sample& sample : WriteRasterSamples(m_dir)) {
        const std::string bytes = Inflated(sample);
        if (bytes.empty()) {
            continue;
        }
        ++tried;
        const std::string path = m_dir.write("huge-" + sample.name, bytes);
        RgbBuffer image;
        const bool ok = DecodeImageFile(path, sample.type, image);
        if (ok || ImagingLastError() != kImagingTooLarge) {
            results.push_back(sample.name + " code " + std::to_string(ImagingLastError()));
        }
    }
    EXPECT_EQ(capture.finish(), "");
    EXPECT_EQ(tried, 9);
    EXPECT_EQ(results, std::vector<std::string>{});
}

TEST_F(BadInputTest, DamagedBytesNeverCrashOrPrint) {
    std::vector<Sample> samples = WriteRasterSamples(m_dir);
    samples.push_back({"m.wmf",
                       ImageType::Wmf,
                       m_dir.write("m.wmf", WmfBytes(120, 90, qRgb(0, 128, 0), true)),
                       {},
                       0});
    samples.push_back(
        {"m.emf", ImageType::Emf, m_dir.write("m.emf", EmfBytes(120, 90, qRgb(0, 128, 0))), {}, 0});
    std::mt19937 random(99);
    int inconsistent = 0;
    OutputCapture capture;
    for (const Sample& sample : samples) {
        const std::string original = ReadFileBytes(sample.path);
        for (int round = 0; round < 12; ++round) {
            std::string bytes = original;
            const int flips = 1 + static_cast<int>(random() % 4);
            for (int f = 0; f < flips; ++f) {
                bytes[random() % bytes.size()] = static_cast<char>(random());
            }
            const std::string path = m_dir.write("damaged-" + sample.name, bytes);
            RgbBuffer image;
            if (DecodeImageFile(path, sample.type, image)) {
                inconsistent += image.width == 0 || image.height == 0 ||
                                image.pixels.size() != image.stride() * image.height;
            } else {
                inconsistent += ImagingLastError() == kImagingOk;
            }
        }
    }
    EXPECT_EQ(capture.finish(), "");
    EXPECT_EQ(inconsistent, 0);
}

TEST_F(BadInputTest, AFailedJpegDoesNotSpoilTheNextOnTheSameThread) {
    const std::string good = m_dir.file("good.jpg");
    ASSERT_TRUE(WriteImage(RedBlueImage(), good, "JPG"));
    const std::string bytes = ReadFileBytes(good);
    const std::string bad = m_dir.write("bad.jpg", bytes.substr(0, 30));
    const std::string damaged = m_dir.write("damaged.jpg", bytes.substr(0, bytes.size() - 40));
    for (const std::string& failing : {bad, damaged}) {
        RgbBuffer image;
        EXPECT_FALSE(DecodeImageFile(failing, ImageType::Jpeg, image));
        EXPECT_TRUE(DecodeImageFile(good, ImageType::Jpeg, image)) << ImagingLastError();
    }
}

TEST_F(BadInputTest, FoldersPipesAndMissingFilesCannotBeOpened) {
    const std::string fifo = m_dir.file("pipe.png");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, m_dir.path().string(), m_dir.file("missing.png"),
                                    m_dir.file("missing.png") + "/below.png"}) {
        RgbBuffer image;
        EXPECT_FALSE(DecodeImageFile(path, ImageType::Png, image)) << path;
        EXPECT_EQ(ImagingLastError(), kImagingCannotOpen) << path;
    }
    EXPECT_EQ(SniffImageType(fifo), ImageType::Png) << "the name decides, without waiting";
}

}  // namespace
