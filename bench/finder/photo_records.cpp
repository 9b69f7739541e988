#include "photo_records.h"

#include <turbojpeg.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace {

// A photo as per-channel summed-area tables, so that any crop's box average
// costs four look-ups per thumbnail cell.
struct Photo {
    int width = 0;
    int height = 0;
    std::array<std::vector<std::uint64_t>, 3> integral;

    std::uint64_t at(int c, int x, int y) const {
        return integral[static_cast<std::size_t>(c)][static_cast<std::size_t>(y) * (width + 1) + x];
    }
};

bool DecodeJpeg(const std::string& path, Photo& photo) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    tjhandle handle = tjInitDecompress();
    if (handle == nullptr) {
        return false;
    }
    int width = 0;
    int height = 0;
    int subsamp = 0;
    int colorspace = 0;
    bool ok = tjDecompressHeader3(handle, bytes.data(), bytes.size(), &width, &height, &subsamp,
                                  &colorspace) == 0;
    // A DCT-scaled decode near 640 pixels wide is plenty for 10 x 10 cells.
    const int scaled = std::max(1, width / 640);
    const int divisor = scaled >= 8 ? 8 : scaled >= 4 ? 4 : scaled >= 2 ? 2 : 1;
    const int w = (width + divisor - 1) / divisor;
    const int h = (height + divisor - 1) / divisor;
    std::vector<unsigned char> rgb(static_cast<std::size_t>(w) * h * 3);
    ok = ok && tjDecompress2(handle, bytes.data(), bytes.size(), rgb.data(), w, 0, h, TJPF_RGB,
                             TJFLAG_FASTDCT) == 0;
    tjDestroy(handle);
    if (!ok) {
        return false;
    }
    photo.width = w;
    photo.height = h;
    for (int c = 0; c < 3; ++c) {
        auto& table = photo.integral[static_cast<std::size_t>(c)];
        table.assign(static_cast<std::size_t>(w + 1) * (h + 1), 0);
        for (int y = 0; y < h; ++y) {
            std::uint64_t row = 0;
            for (int x = 0; x < w; ++x) {
                row += rgb[(static_cast<std::size_t>(y) * w + x) * 3 + c];
                table[static_cast<std::size_t>(y + 1) * (w + 1) + x + 1] =
                    table[static_cast<std::size_t>(y) * (w + 1) + x + 1] + row;
            }
        }
    }
    return true;
}

std::vector<Photo> LoadPhotos() {
    std::vector<Photo> photos;
    std::vector<std::filesystem::path> seen;  // the same photo is often linked under several names
    for (const char* root : {"/usr/share/wallpapers", "/usr/share/backgrounds"}) {
        std::error_code error;
        for (auto it = std::filesystem::recursive_directory_iterator(root, error);
             !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
            const std::string ext = it->path().extension().string();
            if (it->is_regular_file() && (ext == ".jpg" || ext == ".jpeg") &&
                it->path().string().find("screenshot") == std::string::npos) {
                const auto real = std::filesystem::canonical(it->path(), error);
                if (error || std::find(seen.begin(), seen.end(), real) != seen.end()) {
                    error.clear();
                    continue;
                }
                seen.push_back(real);
                Photo photo;
                if (DecodeJpeg(it->path().string(), photo) && photo.width >= 40 &&
                    photo.height >= 40) {
                    photos.push_back(std::move(photo));
                }
            }
        }
    }
    return photos;
}

std::uint8_t Clamp(double v) {
    return static_cast<std::uint8_t>(std::clamp(v + 0.5, 0.0, 255.0));
}

void FinishRecord(ImageRecord& record) {
    int sums[3] = {0, 0, 0};
    for (int p = 0; p < kThumbPixels; ++p) {
        for (int c = 0; c < 3; ++c) {
            sums[c] += record.thumb[3 * p + c];
        }
    }
    record.nSumRed = static_cast<std::uint16_t>(sums[0]);
    record.nSumGreen = static_cast<std::uint16_t>(sums[1]);
    record.nSumBlue = static_cast<std::uint16_t>(sums[2]);
    record.bColor = 1;
}

ImageRecord CropRecord(const Photo& photo, std::mt19937& rng) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double fraction = 0.25 + 0.75 * unit(rng);
    const double aspect = 0.6 + 1.2 * unit(rng);
    int cw = static_cast<int>(photo.width * fraction);
    int ch = static_cast<int>(cw / aspect);
    if (ch > photo.height) {
        ch = photo.height;
        cw = std::min(photo.width, static_cast<int>(ch * aspect));
    }
    cw = std::max(cw, 10);
    ch = std::max(ch, 10);
    const int x0 = static_cast<int>((photo.width - cw) * unit(rng));
    const int y0 = static_cast<int>((photo.height - ch) * unit(rng));
    // Exposure and white balance differ from shot to shot.
    const double gain = 0.75 + 0.5 * unit(rng);
    const double bias = -25.0 + 50.0 * unit(rng);
    const double cast[3] = {-12 + 24 * unit(rng), -12 + 24 * unit(rng), -12 + 24 * unit(rng)};
    ImageRecord record;
    for (int row = 0; row < kThumbSide; ++row) {
        const int ya = y0 + ch * row / kThumbSide;
        const int yb = y0 + ch * (row + 1) / kThumbSide;
        for (int col = 0; col < kThumbSide; ++col) {
            const int xa = x0 + cw * col / kThumbSide;
            const int xb = x0 + cw * (col + 1) / kThumbSide;
            const double area = static_cast<double>(xb - xa) * (yb - ya);
            for (int c = 0; c < 3; ++c) {
                const auto sum = static_cast<double>(photo.at(c, xb, yb) - photo.at(c, xa, yb) -
                                                     photo.at(c, xb, ya) + photo.at(c, xa, ya));
                record.thumb[3 * (row * kThumbSide + col) + c] =
                    Clamp(sum / area * gain + bias + cast[c]);
            }
        }
    }
    const int scale = 2 + static_cast<int>(rng() % 8);
    record.nWidth = static_cast<std::uint16_t>(std::min(65535, cw * scale));
    record.nHeight = static_cast<std::uint16_t>(std::min(65535, ch * scale));
    FinishRecord(record);
    return record;
}

ImageRecord SmoothRandomRecord(std::mt19937& rng) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    ImageRecord record;
    for (int c = 0; c < 3; ++c) {
        const double base = 255 * unit(rng);
        const double dx = -10 + 20 * unit(rng);
        const double dy = -10 + 20 * unit(rng);
        for (int p = 0; p < kThumbPixels; ++p) {
            record.thumb[3 * p + c] = Clamp(base + dx * (p % 10 - 4.5) + dy * (p / 10 - 4.5));
        }
    }
    record.nWidth = 3000;
    record.nHeight = 2000;
    FinishRecord(record);
    return record;
}

ImageRecord NearCopy(const ImageRecord& source, std::mt19937& rng) {
    ImageRecord copy = source;
    for (std::uint8_t& level : copy.thumb) {
        level = Clamp(level + static_cast<int>(rng() % 5) - 2);
    }
    FinishRecord(copy);
    return copy;
}

}  // namespace

PhotoRecords MakePhotoRecords(int count) {
    static const std::vector<Photo> photos = LoadPhotos();
    std::mt19937 rng(4242);
    PhotoRecords out;
    out.photos = static_cast<int>(photos.size());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && rng() % 100 == 0) {
            out.records.push_back(NearCopy(out.records[rng() % out.records.size()], rng));
        } else if (!photos.empty()) {
            out.records.push_back(CropRecord(photos[rng() % photos.size()], rng));
        } else {
            out.records.push_back(SmoothRandomRecord(rng));
        }
        out.paths.push_back("/photos/img" + std::to_string(i) + ".jpg");
    }
    return out;
}
