// Writes the seed corpora: small valid files of every kind the targets read,
// made by our own writers. Run by hand after a format change:
//   make_seeds <tests/fuzz/corpus>
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>

#include <cstdio>
#include <filesystem>
#include <string>

#include "datafile_io.h"
#include "format_writers.h"
#include "list_file.h"
#include "log_writer.h"
#include "photo_writers.h"
#include "scripted_prompter.h"

namespace fs = std::filesystem;

namespace {

fs::path g_root;

void put(const std::string& target, const std::string& name, const std::string& bytes) {
    const fs::path folder = g_root / target;
    fs::create_directories(folder);
    std::FILE* f = std::fopen((folder / name).c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::string fileBytes(const fs::path& path) {
    std::string bytes(fs::file_size(path), '\0');
    std::FILE* f = std::fopen(path.c_str(), "rb");
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    return bytes;
}

std::string qtBytes(const QImage& image, const char* format, int quality = 90,
                    bool progressive = false) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return buffer.data().toStdString();
}

void dataFiles() {
    DatafileSlot slot;
    slot.m_nSourceKind = 1;
    slot.m_bSubfolders = 1;
    slot.m_strSourceFolder = "/pictures/";
    std::vector<ImageRecord> records(3);
    for (int i = 0; i < 3; ++i) {
        ImageRecord& r = records[i];
        r.nWidth = static_cast<std::uint16_t>(i == 1 ? 0 : 640 + i);
        r.nHeight = 480;
        r.bColor = 1;
        for (int k = 0; k < kThumbBytes; ++k) {
            r.thumb[k] = static_cast<std::uint8_t>(k * (i + 3));
        }
    }
    slot.setEntries({"/pictures/a.jpg", "Deleted", "/pictures/sub/c.png"}, std::move(records));
    const fs::path tmp = g_root / "tmp.dup";
    WriteDatafile(tmp, slot);
    put("datafile_fuzz", "three.dup", fileBytes(tmp));
    slot.clearData();
    slot.m_nSourceKind = 0;
    slot.m_strSourceList = std::string(300, 'l');  // the 16-bit length form
    WriteDatafile(tmp, slot);
    put("datafile_fuzz", "empty-list-source.dup", fileBytes(tmp));
    // A data file can carry what no list or log may: line breaks in paths.
    slot.m_nSourceKind = 1;
    slot.m_bSubfolders = 0;
    slot.m_strSourceFolder = "/p/";
    std::vector<std::string> odd = {"/p/a\r\nImage 2 path: /etc/passwd.jpg", "/p//./a.jpg",
                                    "/p/a.jpg", "/p/cr\rname.png"};
    std::vector<ImageRecord> oddRecords(odd.size());
    for (std::size_t i = 0; i < oddRecords.size(); ++i) {
        ImageRecord& r = oddRecords[i];
        r.nWidth = static_cast<std::uint16_t>(320 + i);
        r.nHeight = 240;
        r.bColor = 1;
        r.nSumRed = 1000;
        r.nSumGreen = 2000;
        r.nSumBlue = 3000;
        for (int k = 0; k < kThumbBytes; ++k) {
            r.thumb[k] = static_cast<std::uint8_t>(k * (i + 5));
        }
    }
    slot.setEntries(std::move(odd), std::move(oddRecords));
    WriteDatafile(tmp, slot);
    put("datafile_fuzz", "hostile-names.dup", fileBytes(tmp));
    fs::remove(tmp);
}

void logs() {
    std::vector<std::string> lines;
    LogHeaderInfo info;
    info.startTime = 1700000000;
    info.primaryCount = 4;
    info.primarySourceNote = "; Source: /pictures/";
    WriteLogHeader(lines, info);
    AddMatchRecord(lines, "99.5", 1, 1000, "/pictures/a.jpg", "/pictures/b.jpg");
    AddMatchRecord(lines, "98.1", 2, 1000, "/pictures/c.jpg", "/pictures/d.jpg");
    AddMatchRecord(lines, "100.0", 3, 1000, "/pictures/a.jpg", "/pictures/d.jpg");
    const fs::path tmp = g_root / "tmp.log";
    FinishLog(lines, 3, tmp);
    put("dupslog_fuzz", "three-pairs.log", fileBytes(tmp));
    lines.clear();
    info.mode = 1;
    info.secondaryCount = 2;
    WriteLogHeader(lines, info);
    InsertLimitLine(lines, 10);
    FinishLog(lines, 0, tmp);
    put("dupslog_fuzz", "no-pairs.log", fileBytes(tmp));
    put("dupslog_fuzz", "deleted.log",
        "DUPS\r\n; x\r\n-- Matches --\r\n;Match no: 1\r\nImage 1 path: Deleted /a.jpg\r\n"
        "Image 2 path: /b.jpg\r\n; % matching: 99.0\r\n; -------\r\n;\r\nEND\r\n");
    fs::remove(tmp);

    // What the writers refuse, and pairs of one file under two names.
    const auto pair = [](int n, const std::string& a, const std::string& b, const char* percent,
                         const char* numberPrefix = "; Match no: ") {
        return numberPrefix + std::to_string(n) + "\r\nImage 1 path: " + a +
               "\r\nImage 2 path: " + b + "\r\n; % matching: " + percent + "\r\n; -------\r\n";
    };
    const std::string head =
        "DUPS\r\n; --- Duplicates Info -- recording stops at 1000 pairs --\r\n; date\r\n"
        "; Match total: 2\r\n-- Matches --\r\n";
    const std::string end = ";\r\nEND\r\n";
    put("dupslog_fuzz", "split-path.log",
        head + pair(1, "/p/a.jpg", "/p/b.jpg", "99.0") +
            pair(2, "/p/x\ry.jpg", "/p/c.jpg", "98.0") + end);
    put("dupslog_fuzz", "self-pair.log",
        head + pair(1, "/x/a.jpg", "/x//./a.jpg", "100.0") +
            pair(2, "/x/link.jpg", "/x/a.jpg", "100.0") + end);
    put("dupslog_fuzz", "sorted-marked.log",
        head + pair(1, "Deleted /p/a.jpg", "/p/b.jpg", "99.5", ";Match no: ") +
            pair(2, "/p/c.jpg", "Deleted /p/d.jpg", "98.0", ";Match no: ") + end);
}

void lists() {
    ScriptedPrompter prompter;
    const fs::path tmp = g_root / "tmp.lst";
    WriteListFile(tmp,
                  {"/pictures/a.jpg", "/pictures/ (include subfolders)", "/other/ (no subfolders)",
                   "/plain/", "", "/b.png   "},
                  prompter);
    put("listfile_fuzz", "mixed.lst", fileBytes(tmp));
    WriteListFile(tmp, {"a.jpg"}, prompter);
    put("listfile_fuzz", "one.lst", fileBytes(tmp));
    fs::remove(tmp);
    // Lists made by hand, with one file named in several ways.
    put("listfile_fuzz", "hand-lf.lst",
        "START\n; by hand\n/x/a.jpg\n/x//./a.jpg\n/x/ (no "
        "subfolders)\n/x/./b.png\n/x/a.jpg\nEND\n");
    put("listfile_fuzz", "cr-alone.lst",
        "START\r/y/c.gif\r/y/sub/ (include subfolders)\r/y/sub/d.tif\rEND\r");
}

void images() {
    const QImage pattern = PatternImage(12, 9);
    const QImage grey = pattern.convertToFormat(QImage::Format_Grayscale8);
    put("jpeg_fuzz", "baseline.jpg", qtBytes(pattern, "jpg"));
    put("jpeg_fuzz", "progressive.jpg", qtBytes(pattern, "jpg", 80, true));
    put("jpeg_fuzz", "grey.jpg", qtBytes(grey, "jpg"));
    put("jpeg_fuzz", "large-scaled.jpg", qtBytes(PatternImage(64, 40), "jpg", 20));
    put("png_fuzz", "rgb.png", qtBytes(pattern, "png"));
    put("png_fuzz", "rgba.png", qtBytes(pattern.convertToFormat(QImage::Format_ARGB32), "png"));
    put("png_fuzz", "grey.png", qtBytes(grey, "png"));
    put("png_fuzz", "palette.png",
        qtBytes(pattern.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither), "png"));
    put("png_fuzz", "grey16.png",
        qtBytes(pattern.convertToFormat(QImage::Format_Grayscale16), "png"));

    const QImage indexed = pattern.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    put("qt_formats_fuzz", "rgb.bmp", qtBytes(pattern, "bmp"));
    put("qt_formats_fuzz", "indexed.bmp", qtBytes(indexed, "bmp"));
    put("qt_formats_fuzz", "plain.gif", GifBytes(indexed));
    put("qt_formats_fuzz", "transparent.gif", GifBytes(indexed, 2));
    put("qt_formats_fuzz", "plain.tif", qtBytes(pattern, "tiff"));
    put("qt_formats_fuzz", "plain.wbmp", WbmpBytes(pattern));

    put("magick_formats_fuzz", "bottom-left.tga", TargaBytes(pattern, TargaKind::BottomLeft));
    put("magick_formats_fuzz", "top-left.tga", TargaBytes(pattern, TargaKind::TopLeft));
    put("magick_formats_fuzz", "grey.tga", TargaBytes(pattern, TargaKind::Grey));
    put("magick_formats_fuzz", "mapped.tga", TargaBytes(indexed, TargaKind::ColorMapped));
    put("magick_formats_fuzz", "rle.tga", TargaBytes(pattern, TargaKind::RunLength));
    put("magick_formats_fuzz", "planes.pcx", PcxBytes(pattern, false));
    put("magick_formats_fuzz", "palette.pcx", PcxBytes(pattern, true));
    put("magick_formats_fuzz", "plain.psd", PhotoshopBytes(pattern));
    put("magick_formats_fuzz", "plain.wmf", WmfBytes(40, 30, qRgb(200, 10, 10), false));
    put("magick_formats_fuzz", "text.wmf", WmfBytes(40, 30, qRgb(10, 200, 10), true));
    put("emf_fuzz", "plain.emf", EmfBytes(40, 30, qRgb(10, 10, 200)));

    // The first byte names the file: 0 .jpg, 5 .png, 8 .bmp, 9 .tga, 12 .wmf,
    // 13 .emf, 14 .wbmp, 15 .txt (sniffing alone).
    put("image_file_fuzz", "jpg", std::string(1, '\0') + qtBytes(pattern, "jpg"));
    put("image_file_fuzz", "png", std::string(1, '\5') + qtBytes(pattern, "png"));
    put("image_file_fuzz", "bmp", std::string(1, '\10') + qtBytes(pattern, "bmp"));
    put("image_file_fuzz", "tga",
        std::string(1, '\11') + TargaBytes(pattern, TargaKind::BottomLeft));
    put("image_file_fuzz", "wmf",
        std::string(1, '\14') + WmfBytes(40, 30, qRgb(200, 10, 10), false));
    put("image_file_fuzz", "emf", std::string(1, '\15') + EmfBytes(40, 30, qRgb(1, 2, 3)));
    put("image_file_fuzz", "wbmp", std::string(1, '\16') + WbmpBytes(pattern));
    put("image_file_fuzz", "gif-as-txt", std::string(1, '\17') + GifBytes(indexed));
    // Big enough for the reduced decode and the pre-reduction, yet small.
    // 16 .heic, 18 .webp, 20 .dng; a JPEG named .png is read by its content.
    put("image_file_fuzz", "heic", std::string(1, '\20') + HeifBytes(PatternImage(24, 16), false));
    put("image_file_fuzz", "webp", std::string(1, '\22') + WebpBytes(pattern));
    put("image_file_fuzz", "dng", std::string(1, '\24') + DngBytes(PatternImage(32, 24), pattern));
    put("image_file_fuzz", "jpg-as-png", std::string(1, '\5') + qtBytes(pattern, "jpg"));
    QImage flat(1700, 800, QImage::Format_RGB32);
    flat.fill(qRgb(90, 140, 30));
    put("image_file_fuzz", "large-jpg", std::string(1, '\0') + qtBytes(flat, "jpg", 10));
}

void photoFormats() {
    const QImage pattern = PatternImage(24, 16);
    // The first byte: even reads as HEIC, odd as AVIF.
    put("heif_fuzz", "plain.heic", std::string(1, '\0') + HeifBytes(pattern, false));
    put("heif_fuzz", "plain.avif", std::string(1, '\1') + HeifBytes(pattern, true));
    put("heif_fuzz", "thumbnail.heic",
        std::string(1, '\0') + HeifBytes(PatternImage(64, 40), false, 32));
    put("webp_fuzz", "lossless.webp", WebpBytes(pattern));
    put("webp_fuzz", "lossy.webp", qtBytes(pattern, "webp", 60));
    put("webp_fuzz", "alpha.webp", qtBytes(pattern.convertToFormat(QImage::Format_ARGB32), "webp"));
    put("jxl_fuzz", "lossless.jxl", JxlBytes(pattern, true));
    put("jxl_fuzz", "lossy-turned.jxl", JxlBytes(PatternImage(64, 40), false, 6));
    put("raw_fuzz", "preview.dng", DngBytes(PatternImage(32, 24), pattern, 6));
    put("raw_fuzz", "sensor-only-shape.dng", DngBytes(PatternImage(32, 24), PatternImage(8, 8)));
}

void resampler() {
    // mode, source and target sizes (16 bits each), padding, flags, long axes.
    const auto seed = [](int mode, int sw, int sh, int dw, int dh, int flags) {
        std::string s;
        s.push_back(static_cast<char>(mode));
        for (const int v : {sw, sh, dw, dh}) {
            s.push_back(static_cast<char>(v >> 8));
            s.push_back(static_cast<char>(v & 0xFF));
        }
        s.push_back(static_cast<char>(3));
        s.push_back(static_cast<char>(flags));
        s += std::string("\x01\x86\xA0\x00\x0A\x40", 6);
        for (int i = 0; i < 64; ++i) {
            s.push_back(static_cast<char>(i * 37));
        }
        return s;
    };
    put("resample_fuzz", "down-gaussian", seed(3, 40, 30, 10, 10, 0));
    put("resample_fuzz", "up-lanczos", seed(8, 7, 5, 33, 21, 2));
    put("resample_fuzz", "flat-sinc", seed(10, 50, 9, 13, 40, 0x80));
    put("resample_fuzz", "prereduce", seed(17, 250, 120, 10, 10, 1));
    put("resample_fuzz", "one-axis-box", seed(0, 20, 20, 20, 3, 0));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds <corpus folder>\n");
        return 2;
    }
    g_root = argv[1];
    fs::create_directories(g_root);
    dataFiles();
    logs();
    lists();
    photoFormats();
    images();
    resampler();
    return 0;
}
