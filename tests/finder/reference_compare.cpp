#include "reference_compare.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tenths.h"
#include "test_records.h"

ReferenceComparer::ReferenceComparer(const FindSettings& settings) : m_settings(settings) {
    m_table.resize(195076);
    for (int k = 0; k < 195076; ++k) {
        const int root = static_cast<int>(std::floor(std::sqrt(static_cast<double>(k / 3)) + 0.5));
        m_table[static_cast<std::size_t>(k)] = root < 255 ? root : 255;
    }
}

int ReferenceComparer::tableAt(int index) const {
    return index >= 195075 ? m_table[195075] : m_table[static_cast<std::size_t>(index)];
}

bool ReferenceComparer::prepare(const ImageRecord& first) {
    if (first.nWidth == 0) {
        return false;
    }
    m_lumFlag = (m_settings.method == 3 || first.bColor == 0) ? 1 : 0;
    m_firstLumSum = 0;
    for (int p = 0; p < 100; ++p) {
        m_firstLum[p] =
            3 * first.thumb[3 * p] + 6 * first.thumb[3 * p + 1] + first.thumb[3 * p + 2] + 5;
        m_firstLumSum += m_firstLum[p];
    }
    if (m_settings.restriction == MatchRestriction::SameAspect) {
        m_aspectRatio =
            first.nHeight != 0 ? static_cast<double>(first.nWidth) / first.nHeight : 0.0;
        m_aspectTol = m_settings.aspectTol * m_aspectRatio * 0.01;
    }
    if (m_settings.restriction == MatchRestriction::SameSize) {
        m_widthTol = first.nWidth * m_settings.sizeTol / 100;
        m_heightTol = first.nHeight * m_settings.sizeTol / 100;
    }
    return true;
}

int ReferenceComparer::compare(const ImageRecord& first, const ImageRecord& original, int low,
                               int high, ThumbOrientation orientation) {
    const FindSettings& s = m_settings;
    const ImageRecord second = Turned(original, orientation.quarterTurns, orientation.mirrored);
    // Gates.
    if (original.nWidth == 0) {
        return 0;
    }
    if (s.restriction == MatchRestriction::SameAspect) {
        if (m_aspectTol < 0.05) {
            m_aspectTol = 0.05;
        }
        if (first.nHeight == 0 || second.nHeight == 0 || second.nWidth == 0) {
            return 0;
        }
        const double r2 = static_cast<double>(second.nWidth) / second.nHeight;
        if (r2 + m_aspectTol < m_aspectRatio || m_aspectRatio + m_aspectTol < r2) {
            return 0;
        }
    }
    if (s.restriction == MatchRestriction::SameSize) {
        if (std::abs(first.nWidth - second.nWidth) > m_widthTol ||
            std::abs(first.nHeight - second.nHeight) > m_heightTol) {
            return 0;
        }
    }
    // Luminance choice.
    const bool lum = m_lumFlag == 1 || (s.useLumForGrey && second.bColor == 0);
    // Mean offsets.
    const int dR = first.nSumRed - second.nSumRed;
    const int dG = first.nSumGreen - second.nSumGreen;
    const int dB = first.nSumBlue - second.nSumBlue;
    const int lumMeans2 = 3 * second.nSumRed + 6 * second.nSumGreen + second.nSumBlue + 5;
    int offR = 0;
    int offG = 0;
    int offB = 0;
    int offL = 0;
    const int amt = s.adjustAmount;
    if (s.adjustColor) {
        if (lum) {
            offL = std::clamp((m_firstLumSum - lumMeans2) / 100, -amt, amt);
        } else {
            offR = std::clamp(dR / 100, -amt, amt);
            offG = std::clamp(dG / 100, -amt, amt);
            offB = std::clamp(dB / 100, -amt, amt);
        }
    }
    // Pre-screen.
    if (s.prescreen) {
        int d = 0;
        if (!lum && !s.adjustColor) {
            d = (std::abs(dR) + std::abs(dG) + std::abs(dB)) / 100;
        } else if (!lum) {
            d = (std::abs(dR) + std::abs(dG) + std::abs(dB) - 100 * (offR + offG + offB)) / 100;
        } else if (!s.adjustColor) {
            d = (3 * std::abs(dR) + 6 * std::abs(dG) + std::abs(dB)) / 1000;
        } else {
            d = std::abs(lumMeans2 - m_firstLumSum + offL) / 1000;
        }
        const int score = ((255 - d) * 100) / 255;
        if (score < (low - 70) / 10) {
            return 0;
        }
    }
    // Pixels.
    std::array<int, 100> secondLum{};
    for (int p = 0; p < 100; ++p) {
        secondLum[p] =
            3 * second.thumb[3 * p] + 6 * second.thumb[3 * p + 1] + second.thumb[3 * p + 2] + 5;
    }
    int sum = 0;
    for (int row = 0; row < 10; ++row) {
        for (int col = 0; col < 10; ++col) {
            const int p = row * 10 + col;
            const int q = p;
            if (lum) {
                sum += std::abs(m_firstLum[p] - secondLum[q] - offL);
                continue;
            }
            const int dr = first.thumb[3 * p] - second.thumb[3 * q] - offR;
            const int dg = first.thumb[3 * p + 1] - second.thumb[3 * q + 1] - offG;
            const int db = first.thumb[3 * p + 2] - second.thumb[3 * q + 2] - offB;
            if (s.method == 1) {
                sum += tableAt((db * db + 3 * dg * dg + 2 * dr * dr) / 2);
            } else if (s.method == 2) {
                sum += dr * dr + dg * dg + db * db;
            } else {
                sum += tableAt(dr * dr + dg * dg + db * db);
            }
        }
    }
    int v = 0;
    if (lum) {
        v = ((2550 - (14 * sum + 50) / 1000) * 100) / 255;
    } else if (s.method == 2) {
        v = ((255 - tableAt((sum + 50) / 100)) * 1000) / 255;
    } else {
        v = ((2550 - ((5 * sum + 25) * 2) / 100) * 100) / 255;
    }
    if (v <= low - 1 || v >= high + 1) {
        return 0;
    }
    return v;
}

int ReferenceComparer::runValue(const ImageRecord& first, const ImageRecord& second, int low,
                                int high) {
    int v = 0;
    for (int turns = 0; turns < (m_settings.checkRotation ? 4 : 1); ++turns) {
        for (const bool mirrored : {false, true}) {
            if (mirrored && !m_settings.checkMirror) {
                continue;
            }
            v = std::max(v, compare(first, second, low, high, {turns, mirrored}));
        }
    }
    return v;
}

namespace {

void AddRecord(ReferenceRunLog& log, int count, int limit, const std::string& a,
               const std::string& b, int v) {
    if (count > limit) {
        return;
    }
    log.records.push_back("; Match no: " + std::to_string(count));
    log.records.push_back("Image 1 path: " + a);
    log.records.push_back("Image 2 path: " + b);
    log.records.push_back("; % matching: " + FormatTenths(v));
    log.records.emplace_back("; -------");
}

}  // namespace

ReferenceRunLog ReferenceRun(const ReferenceRunInput& in) {
    ReferenceRunLog log;
    FindSettings settings = in.settings;
    if (in.mode == 2) {
        settings.prescreen = false;
    }
    ReferenceComparer cmp(settings);
    int count = 0;
    const int np = static_cast<int>(in.primary.size());
    const int outer = in.mode == 0   ? np - 1
                      : in.mode == 1 ? static_cast<int>(in.secondary.size())
                                     : np;
    for (int i = 0; i < outer; ++i) {
        if (count > in.dupsLimit) {
            break;
        }
        if (in.mode == 2) {
            if (cmp.prepare(in.primary[i]) && count <= in.dupsLimit) {
                const int v = cmp.runValue(in.primary[i], in.single, in.low, in.high);
                if (v != 0) {
                    ++count;
                    AddRecord(log, count, in.dupsLimit, in.singlePath, in.primaryPaths[i], v);
                }
            }
            continue;
        }
        const ImageRecord& first = in.mode == 0 ? in.primary[i] : in.secondary[i];
        if (!cmp.prepare(first)) {
            continue;
        }
        for (int j = in.mode == 0 ? i + 1 : 0; j < np && count <= in.dupsLimit; ++j) {
            const int v = cmp.runValue(first, in.primary[j], in.low, in.high);
            if (v == 0) {
                continue;
            }
            const std::string& a = in.mode == 0 ? in.primaryPaths[i] : in.secondaryPaths[i];
            if (in.mode == 1 && a == in.primaryPaths[j]) {
                continue;
            }
            ++count;
            AddRecord(log, count, in.dupsLimit, a, in.primaryPaths[j], v);
        }
    }
    log.limited = count > in.dupsLimit;
    log.total = log.limited ? in.dupsLimit : count;
    return log;
}
