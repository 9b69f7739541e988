#include "format_writers.h"

#include <map>
#include <vector>

namespace {

void Put8(std::string& out, int v) {
    out.push_back(static_cast<char>(v & 0xFF));
}

void PutLe16(std::string& out, int v) {
    Put8(out, v);
    Put8(out, v >> 8);
}

void PutLe32(std::string& out, std::uint32_t v) {
    PutLe16(out, static_cast<int>(v & 0xFFFF));
    PutLe16(out, static_cast<int>(v >> 16));
}

void PutBe16(std::string& out, int v) {
    Put8(out, v >> 8);
    Put8(out, v);
}

void PutBe32(std::string& out, std::uint32_t v) {
    PutBe16(out, static_cast<int>(v >> 16));
    PutBe16(out, static_cast<int>(v & 0xFFFF));
}

QRgb Pixel(const QImage& image, int x, int y) {
    return image.pixel(x, y);
}

// Palette of the image's distinct colours, in order of first appearance.
std::vector<QRgb> Palette(const QImage& image, std::map<QRgb, int>& index) {
    std::vector<QRgb> colors;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = Pixel(image, x, y) | 0xFF000000u;
            if (index.emplace(c, static_cast<int>(colors.size())).second) {
                colors.push_back(c);
            }
        }
    }
    return colors;
}

}  // namespace

QImage PatternImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y,
                           qRgb(20 + 30 * x % 236, 10 + 40 * y % 246, (x * 7 + y * 11) * 5 % 256));
        }
    }
    return image;
}

std::string TargaBytes(const QImage& image, TargaKind kind) {
    const int w = image.width();
    const int h = image.height();
    std::map<QRgb, int> index;
    const std::vector<QRgb> palette =
        kind == TargaKind::ColorMapped ? Palette(image, index) : std::vector<QRgb>{};
    std::string out;
    Put8(out, 0);                               // no image id
    Put8(out, kind == TargaKind::ColorMapped);  // colour map present
    Put8(out, kind == TargaKind::ColorMapped ? 1
              : kind == TargaKind::Grey      ? 3
              : kind == TargaKind::RunLength ? 10
                                             : 2);
    PutLe16(out, 0);
    PutLe16(out, static_cast<int>(palette.size()));
    Put8(out, palette.empty() ? 0 : 24);
    PutLe16(out, 0);
    PutLe16(out, 0);
    PutLe16(out, w);
    PutLe16(out, h);
    Put8(out, kind == TargaKind::Grey || kind == TargaKind::ColorMapped ? 8 : 24);
    const bool topFirst = kind == TargaKind::TopLeft;
    Put8(out, topFirst ? 0x20 : 0x00);
    for (const QRgb c : palette) {
        Put8(out, qBlue(c));
        Put8(out, qGreen(c));
        Put8(out, qRed(c));
    }
    for (int row = 0; row < h; ++row) {
        const int y = topFirst ? row : h - 1 - row;
        for (int x = 0; x < w;) {
            const QRgb c = Pixel(image, x, y);
            if (kind == TargaKind::RunLength) {
                int run = 1;
                while (x + run < w && run < 128 && Pixel(image, x + run, y) == c) {
                    ++run;
                }
                Put8(out, run > 1 ? 0x80 | (run - 1) : 0);
                Put8(out, qBlue(c));
                Put8(out, qGreen(c));
                Put8(out, qRed(c));
                x += run;
                continue;
            }
            if (kind == TargaKind::Grey) {
                Put8(out, qRed(c));
            } else if (kind == TargaKind::ColorMapped) {
                Put8(out, index.at(c | 0xFF000000u));
            } else {
                Put8(out, qBlue(c));
                Put8(out, qGreen(c));
                Put8(out, qRed(c));
            }
            ++x;
        }
    }
    if (topFirst) {
        // Version 2 footer, which lets readers recognise the file by content.
        PutLe32(out, 0);
        PutLe32(out, 0);
        out.append("TRUEVISION-XFILE.", 17);
        out.push_back('\0');
    }
    return out;
}

std::string PcxBytes(const QImage& image, bool eightBit) {
    const int w = image.width();
    const int h = image.height();
    const int bytesPerLine = (w + 1) / 2 * 2;
    const int planes = eightBit ? 1 : 3;
    std::string out;
    Put8(out, 0x0A);
    Put8(out, 5);
    Put8(out, 1);
    Put8(out, 8);
    PutLe16(out, 0);
    PutLe16(out, 0);
    PutLe16(out, w - 1);
    PutLe16(out, h - 1);
    PutLe16(out, 72);
    PutLe16(out, 72);
    out.append(48, '\0');
    Put8(out, 0);
    Put8(out, planes);
    PutLe16(out, bytesPerLine);
    PutLe16(out, 1);
    out.append(58, '\0');
    for (int y = 0; y < h; ++y) {
        for (int plane = 0; plane < planes; ++plane) {
            std::vector<int> line(static_cast<std::size_t>(bytesPerLine), 0);
            for (int x = 0; x < w; ++x) {
                const QRgb c = Pixel(image, x, y);
                line[static_cast<std::size_t>(x)] = plane == 0   ? qRed(c)
                                                    : plane == 1 ? qGreen(c)
                                                                 : qBlue(c);
            }
            for (std::size_t i = 0; i < line.size();) {
                std::size_t run = 1;
                while (i + run < line.size() && run < 63 && line[i + run] == line[i]) {
                    ++run;
                }
                if (run > 1 || line[i] >= 0xC0) {
                    Put8(out, 0xC0 | static_cast<int>(run));
                }
                Put8(out, line[i]);
                i += run;
            }
        }
    }
    if (eightBit) {
        Put8(out, 0x0C);
        for (int i = 0; i < 256; ++i) {
            Put8(out, i);
            Put8(out, i);
            Put8(out, i);
        }
    }
    return out;
}

std::string PhotoshopBytes(const QImage& image) {
    std::string out("8BPS");
    PutBe16(out, 1);
    out.append(6, '\0');
    PutBe16(out, 3);
    PutBe32(out, static_cast<std::uint32_t>(image.height()));
    PutBe32(out, static_cast<std::uint32_t>(image.width()));
    PutBe16(out, 8);
    PutBe16(out, 3);  // RGB
    PutBe32(out, 0);  // colour mode data
    PutBe32(out, 0);  // image resources
    PutBe32(out, 0);  // layers
    PutBe16(out, 0);  // raw merged image, one plane per channel
    for (int plane = 0; plane < 3; ++plane) {
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = Pixel(image, x, y);
                Put8(out, plane == 0 ? qRed(c) : plane == 1 ? qGreen(c) : qBlue(c));
            }
        }
    }
    return out;
}

std::string GifBytes(const QImage& image, int transparentIndex) {
    std::map<QRgb, int> index;
    const std::vector<QRgb> palette = Palette(image, index);
    std::string out("GIF89a");
    PutLe16(out, image.width());
    PutLe16(out, image.height());
    Put8(out, 0xF7);  // global table of 256 entries
    Put8(out, 0);
    Put8(out, 0);
    for (int i = 0; i < 256; ++i) {
        const QRgb c =
            i < static_cast<int>(palette.size()) ? palette[static_cast<std::size_t>(i)] : 0;
        Put8(out, qRed(c));
        Put8(out, qGreen(c));
        Put8(out, qBlue(c));
    }
    if (transparentIndex >= 0) {
        out.append("\x21\xF9\x04\x01\x00\x00", 6);
        Put8(out, transparentIndex);
        Put8(out, 0);
    }
    Put8(out, 0x2C);
    PutLe16(out, 0);
    PutLe16(out, 0);
    PutLe16(out, image.width());
    PutLe16(out, image.height());
    Put8(out, 0);
    Put8(out, 8);  // minimum code size
    // Literal codes only, with a clear code often enough that codes stay 9 bits.
    std::string codes;
    std::uint32_t bits = 0;
    int bitCount = 0;
    auto writeCode = [&](int code) {
        bits |= static_cast<std::uint32_t>(code) << bitCount;
        bitCount += 9;
        while (bitCount >= 8) {
            Put8(codes, static_cast<int>(bits & 0xFF));
            bits >>= 8;
            bitCount -= 8;
        }
    };
    int sinceClear = 0;
    writeCode(256);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (sinceClear == 100) {
                writeCode(256);
                sinceClear = 0;
            }
            writeCode(index.at(Pixel(image, x, y) | 0xFF000000u));
            ++sinceClear;
        }
    }
    writeCode(257);
    if (bitCount > 0) {
        Put8(codes, static_cast<int>(bits & 0xFF));
    }
    for (std::size_t i = 0; i < codes.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, codes.size() - i);
        Put8(out, static_cast<int>(n));
        out.append(codes, i, n);
    }
    Put8(out, 0);
    Put8(out, 0x3B);
    return out;
}

std::string WbmpBytes(const QImage& image) {
    auto putMultiByte = [](std::string& out, int v) {
        std::string groups;
        do {
            groups.insert(groups.begin(), static_cast<char>(v & 0x7F));
            v >>= 7;
        } while (v > 0);
        for (std::size_t i = 0; i + 1 < groups.size(); ++i) {
            groups[i] = static_cast<char>(groups[i] | 0x80);
        }
        out += groups;
    };
    std::string out;
    Put8(out, 0);
    Put8(out, 0);
    putMultiByte(out, image.width());
    putMultiByte(out, image.height());
    for (int y = 0; y < image.height(); ++y) {
        int byte = 0;
        int used = 0;
        for (int x = 0; x < image.width(); ++x) {
            byte = (byte << 1) | (qGray(Pixel(image, x, y)) >= 128 ? 1 : 0);
            if (++used == 8) {
                Put8(out, byte);
                byte = 0;
                used = 0;
            }
        }
        if (used > 0) {
            Put8(out, byte << (8 - used));
        }
    }
    return out;
}

std::string WmfBytes(int width, int height, QRgb left, bool withText) {
    std::vector<std::string> records;
    auto record = [&](int function, std::initializer_list<int> words, const std::string& raw = {}) {
        std::string r;
        PutLe32(r, static_cast<std::uint32_t>(3 + words.size() + raw.size() / 2));
        PutLe16(r, function);
        for (const int word : words) {
            PutLe16(r, word);
        }
        r += raw;
        records.push_back(r);
    };
    auto colorRef = [](QRgb c) {
        return static_cast<std::uint32_t>(qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16));
    };
    auto brush = [&](QRgb c) {
        std::string raw;
        PutLe32(raw, colorRef(c));
        PutLe16(raw, 0);
        record(0x02FC, {0}, raw);
    };
    record(0x020B, {0, 0});           // window origin
    record(0x020C, {height, width});  // window extent
    brush(qRgb(255, 255, 255));       // object 0
    brush(left);                      // object 1
    record(0x02FA, {5, 0, 0, 0, 0});  // object 2: null pen
    record(0x012D, {2});
    // A full-size background keeps the drawing's extent the whole picture.
    record(0x012D, {0});
    record(0x041B, {height, width, 0, 0});
    record(0x012D, {1});
    record(0x041B, {height, width / 2, 0, 0});
    if (withText) {
        std::string face("Helvetica");
        face.resize(32, '\0');
        record(0x02FB, {-height / 4, 0, 0, 0, 400, 0, 0, 0, 0}, face);  // object 3
        record(0x012D, {3});
        std::string text("Hi");
        PutLe16(text, height / 3);
        PutLe16(text, width * 3 / 4);
        record(0x0521, {2}, text);
    }
    record(0x0000, {});
    std::string body;
    std::size_t largest = 0;
    for (const auto& r : records) {
        body += r;
        largest = std::max(largest, r.size() / 2);
    }
    std::string placeable;
    PutLe32(placeable, 0x9AC6CDD7u);
    PutLe16(placeable, 0);
    PutLe16(placeable, 0);
    PutLe16(placeable, 0);
    PutLe16(placeable, width);
    PutLe16(placeable, height);
    PutLe16(placeable, 96);
    PutLe32(placeable, 0);
    int checksum = 0;
    for (int i = 0; i < 10; ++i) {
        checksum ^= static_cast<unsigned char>(placeable[2 * i]) |
                    (static_cast<unsigned char>(placeable[2 * i + 1]) << 8);
    }
    PutLe16(placeable, checksum);
    std::string header;
    PutLe16(header, 1);
    PutLe16(header, 9);
    PutLe16(header, 0x0300);
    PutLe32(header, static_cast<std::uint32_t>((18 + body.size()) / 2));
    PutLe16(header, withText ? 4 : 3);
    PutLe32(header, static_cast<std::uint32_t>(largest));
    PutLe16(header, 0);
    return placeable + header + body;
}

std::string EmfBytes(int width, int height, QRgb left) {
    auto colorRef = [](QRgb c) {
        return static_cast<std::uint32_t>(qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16));
    };
    std::string body;
    auto rect = [&](int l, int t, int r, int b) {
        PutLe32(body, 43);
        PutLe32(body, 24);
        PutLe32(body, static_cast<std::uint32_t>(l));
        PutLe32(body, static_cast<std::uint32_t>(t));
        PutLe32(body, static_cast<std::uint32_t>(r));
        PutLe32(body, static_cast<std::uint32_t>(b));
    };
    auto brush = [&](std::uint32_t handle, QRgb c) {
        PutLe32(body, 39);
        PutLe32(body, 24);
        PutLe32(body, handle);
        PutLe32(body, 0);
        PutLe32(body, colorRef(c));
        PutLe32(body, 0);
    };
    auto select = [&](std::uint32_t handle) {
        PutLe32(body, 37);
        PutLe32(body, 12);
        PutLe32(body, handle);
    };
    int records = 1;
    brush(1, qRgb(255, 255, 255));
    select(1);
    select(0x80000008u);  // stock null pen
    rect(0, 0, width, height);
    brush(2, left);
    select(2);
    rect(0, 0, width / 2, height);
    records += 7;
    PutLe32(body, 14);  // end of file
    PutLe32(body, 20);
    PutLe32(body, 0);
    PutLe32(body, 16);
    PutLe32(body, 20);
    ++records;
    std::string out;
    PutLe32(out, 1);
    PutLe32(out, 108);
    for (const int v : {0, 0, width - 1, height - 1, 0, 0, width * 100 / 4, height * 100 / 4}) {
        PutLe32(out, static_cast<std::uint32_t>(v));
    }
    PutLe32(out, 0x464D4520u);
    PutLe32(out, 0x10000);
    PutLe32(out, static_cast<std::uint32_t>(108 + body.size()));
    PutLe32(out, static_cast<std::uint32_t>(records));
    PutLe16(out, 3);
    PutLe16(out, 0);
    for (const int v : {0, 0, 0, 1024, 768, 256, 192, 0, 0, 0, 256000, 192000}) {
        PutLe32(out, static_cast<std::uint32_t>(v));
    }
    return out + body;
}
