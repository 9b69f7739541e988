#include "pair_export.h"

#include <cstdint>

#include "copy_groups.h"

namespace {

constexpr std::string_view kMatchNo = "; Match no: ";
constexpr std::string_view kImage1 = "Image 1 path: ";
constexpr std::string_view kImage2 = "Image 2 path: ";
constexpr std::string_view kPercent = "; % matching: ";

bool startsWith(const std::string& text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool continuation(std::uint8_t byte, std::uint8_t low = 0x80, std::uint8_t high = 0xBF) {
    return byte >= low && byte <= high;
}

// Length of the valid UTF-8 sequence at `pos`, 0 when the byte there does not
// start one (overlong forms, surrogates and values past U+10FFFF included).
std::size_t sequenceLength(std::string_view s, std::size_t pos) {
    const auto at = [&](std::size_t k) {
        return pos + k < s.size() ? static_cast<std::uint8_t>(s[pos + k]) : std::uint8_t{0};
    };
    const std::uint8_t b = at(0);
    if (b < 0x80) {
        return 1;
    }
    if (b >= 0xC2 && b <= 0xDF) {
        return continuation(at(1)) ? 2 : 0;
    }
    if (b >= 0xE0 && b <= 0xEF) {
        const std::uint8_t low = b == 0xE0 ? 0xA0 : 0x80;
        const std::uint8_t high = b == 0xED ? 0x9F : 0xBF;
        return continuation(at(1), low, high) && continuation(at(2)) ? 3 : 0;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        const std::uint8_t low = b == 0xF0 ? 0x90 : 0x80;
        const std::uint8_t high = b == 0xF4 ? 0x8F : 0xBF;
        return continuation(at(1), low, high) && continuation(at(2)) && continuation(at(3)) ? 4 : 0;
    }
    return 0;
}

void appendHexEscape(std::string& out, const char* prefix, std::uint8_t byte) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += prefix;
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

}  // namespace

std::vector<ExportedPair> PairsFromLogLines(const std::vector<std::string>& lines) {
    std::vector<ExportedPair> pairs;
    std::size_t k = 0;
    while (k < lines.size() && lines[k] != "-- Matches --") {
        ++k;
    }
    for (++k; k + 3 < lines.size() && startsWith(lines[k], kMatchNo); k += 5) {
        if (!startsWith(lines[k + 1], kImage1) || !startsWith(lines[k + 2], kImage2) ||
            !startsWith(lines[k + 3], kPercent)) {
            break;
        }
        pairs.push_back({lines[k].substr(kMatchNo.size()), lines[k + 3].substr(kPercent.size()),
                         lines[k + 1].substr(kImage1.size()), lines[k + 2].substr(kImage2.size())});
    }
    return pairs;
}

std::string CsvField(std::string_view bytes) {
    if (bytes.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(bytes);
    }
    std::string field = "\"";
    for (const char c : bytes) {
        field += c;
        if (c == '"') {
            field += '"';
        }
    }
    return field + "\"";
}

std::string PairsAsCsv(const std::vector<ExportedPair>& pairs) {
    std::string csv = "match,percent,image1,image2,data1,data2\r\n";
    for (const ExportedPair& pair : pairs) {
        csv += CsvField(pair.number) + "," + CsvField(pair.percent) + "," + CsvField(pair.image1) +
               "," + CsvField(pair.image2) + "," + CsvField(pair.data1) + "," +
               CsvField(pair.data2) + "\r\n";
    }
    return csv;
}

std::string JsonString(std::string_view bytes) {
    std::string out = "\"";
    out.reserve(bytes.size() + 2);
    for (std::size_t pos = 0; pos < bytes.size();) {
        const auto byte = static_cast<std::uint8_t>(bytes[pos]);
        const std::size_t length = sequenceLength(bytes, pos);
        if (length == 0) {
            appendHexEscape(out, "\\udc", byte);
            ++pos;
            continue;
        }
        if (length > 1) {
            out.append(bytes.substr(pos, length));
        } else if (byte == '"' || byte == '\\') {
            out += '\\';
            out += static_cast<char>(byte);
        } else if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\r') {
            out += "\\r";
        } else if (byte == '\t') {
            out += "\\t";
        } else if (byte < 0x20) {
            appendHexEscape(out, "\\u00", byte);
        } else {
            out += static_cast<char>(byte);
        }
        pos += length;
    }
    return out + "\"";
}

std::string PairsAsJson(const std::vector<ExportedPair>& pairs, const PairExportInfo& info) {
    std::string json = "{\n";
    json += "  \"mode\": " + JsonString(info.mode) + ",\n";
    json += "  \"low\": " + info.low + ",\n";
    json += "  \"high\": " + info.high + ",\n";
    json += "  \"method\": " + JsonString(info.method) + ",\n";
    json += "  \"primary_images\": " + std::to_string(info.primaryCount) + ",\n";
    if (info.mode == "secondary") {
        json += "  \"secondary_images\": " + std::to_string(info.secondaryCount) + ",\n";
    }
    json += "  \"data_files\": [";
    for (std::size_t i = 0; i < info.dataFiles.size(); ++i) {
        const ExportedDataFile& file = info.dataFiles[i];
        json += i == 0 ? "\n" : ",\n";
        json += "    {\"path\": " + JsonString(file.path) + ", \"role\": " + JsonString(file.role) +
                ", \"images\": " + std::to_string(file.images) + "}";
    }
    json += info.dataFiles.empty() ? "],\n" : "\n  ],\n";
    json += "  \"match_total\": " + std::to_string(info.matchTotal) + ",\n";
    json +=
        std::string("  \"stopped_at_limit\": ") + (info.stoppedAtLimit ? "true" : "false") + ",\n";
    json += "  \"pairs\": [";
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const ExportedPair& pair = pairs[i];
        json += i == 0 ? "\n" : ",\n";
        json += "    {\"match\": " + pair.number + ", \"percent\": " + pair.percent +
                ", \"image1\": " + JsonString(pair.image1) +
                ", \"image2\": " + JsonString(pair.image2) +
                ", \"data1\": " + (pair.data1.empty() ? "null" : JsonString(pair.data1)) +
                ", \"data2\": " + JsonString(pair.data2) + "}";
    }
    json += pairs.empty() ? "]\n" : "\n  ]\n";
    return json + "}\n";
}

std::optional<std::string> PairsAsGroups(const std::vector<ExportedPair>& pairs) {
    std::vector<std::string> left;
    std::vector<std::string> right;
    left.reserve(pairs.size());
    right.reserve(pairs.size());
    for (const ExportedPair& pair : pairs) {
        left.push_back(pair.image1);
        right.push_back(pair.image2);
    }
    std::string text;
    for (const std::vector<std::string>& group : GroupCopies(left, right).groups) {
        for (std::size_t i = 0; i < group.size(); ++i) {
            if (group[i].find_first_of("\t\r\n") != std::string::npos) {
                return std::nullopt;
            }
            text += (i == 0 ? "" : "\t") + group[i];
        }
        text += '\n';
    }
    return text;
}
