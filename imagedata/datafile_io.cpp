#include "datafile_io.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>
#include <vector>

#include <sys/stat.h>

#include "atomic_file.h"
#include "folder_source.h"
#include "regular_file.h"

namespace {

constexpr char kSignature1 = 'D';
constexpr char kSignature2 = 'B';
constexpr char kRecordMarker = '0';
constexpr std::size_t kFlushBytes = 1 << 16;
// The shortest entry: an empty path's one length byte and the record.
constexpr std::uint64_t kMinEntryBytes = 1 + kImageRecordBytes;

void putU8(std::string& out, std::uint8_t v) {
    out.push_back(static_cast<char>(v));
}

void putU16(std::string& out, std::uint16_t v) {
    putU8(out, static_cast<std::uint8_t>(v & 0xFF));
    putU8(out, static_cast<std::uint8_t>(v >> 8));
}

void putU32(std::string& out, std::uint32_t v) {
    putU16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    putU16(out, static_cast<std::uint16_t>(v >> 16));
}

// The archive's string form: one length byte below 255, else 0xFF and a 16-bit
// length below 0xFFFE, else 0xFF 0xFFFF and a 32-bit length.
void putString(std::string& out, const std::string& s) {
    const std::size_t n = s.size();
    if (n < 0xFF) {
        putU8(out, static_cast<std::uint8_t>(n));
    } else {
        putU8(out, 0xFF);
        if (n < 0xFFFE) {
            putU16(out, static_cast<std::uint16_t>(n));
        } else {
            putU16(out, 0xFFFF);
            putU32(out, static_cast<std::uint32_t>(n));
        }
    }
    out.append(s);
}

void putRecord(std::string& out, const ImageRecord& r) {
    out.append(reinterpret_cast<const char*>(r.thumb), kThumbBytes);
    out.push_back(kRecordMarker);
    putU16(out, r.nWidth);
    putU16(out, r.nHeight);
    putU16(out, r.nReserved);
    putU8(out, r.bColor);
    putU16(out, r.nSumRed);
    putU16(out, r.nSumGreen);
    putU16(out, r.nSumBlue);
}

// Reads little-endian items and refuses any that would run past the end of
// the file, so no length or count in the file is trusted.
class ArchiveReader {
  public:
    ArchiveReader(std::FILE* file, std::uint64_t size) : m_file(file), m_remaining(size) {}

    std::uint64_t remaining() const { return m_remaining; }

    bool bytes(void* out, std::size_t n) {
        if (n > m_remaining || std::fread(out, 1, n, m_file) != n) {
            return false;
        }
        m_remaining -= n;
        return true;
    }
    bool u8(std::uint8_t& v) { return bytes(&v, 1); }
    bool u16(std::uint16_t& v) {
        std::uint8_t b[2];
        if (!bytes(b, 2)) {
            return false;
        }
        v = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
        return true;
    }
    bool u32(std::uint32_t& v) {
        std::uint16_t lo = 0;
        std::uint16_t hi = 0;
        if (!u16(lo) || !u16(hi)) {
            return false;
        }
        v = lo | (static_cast<std::uint32_t>(hi) << 16);
        return true;
    }
    bool i32(std::int32_t& v) {
        std::uint32_t u = 0;
        if (!u32(u)) {
            return false;
        }
        v = static_cast<std::int32_t>(u);
        return true;
    }
    /// `reserveAfter` bytes must still follow the string.
    bool string(std::string& s, std::uint64_t reserveAfter) {
        std::uint8_t b = 0;
        if (!u8(b)) {
            return false;
        }
        std::uint64_t n = b;
        if (b == 0xFF) {
            std::uint16_t w = 0;
            if (!u16(w)) {
                return false;
            }
            n = w;
            if (w == 0xFFFF) {
                std::uint32_t d = 0;
                if (!u32(d)) {
                    return false;
                }
                n = d;
            }
        }
        if (n > m_remaining || m_remaining - n < reserveAfter) {
            return false;
        }
        s.resize(static_cast<std::size_t>(n));
        return bytes(s.data(), s.size());
    }
    bool record(ImageRecord& r) {
        std::uint8_t marker = 0;  // always "0"; never looked at
        return bytes(r.thumb, kThumbBytes) && u8(marker) && u16(r.nWidth) && u16(r.nHeight) &&
               u16(r.nReserved) && u8(r.bColor) && u16(r.nSumRed) && u16(r.nSumGreen) &&
               u16(r.nSumBlue);
    }

  private:
    std::FILE* m_file;
    std::uint64_t m_remaining;
};

bool readEntries(ArchiveReader& in, std::int32_t count, SlotEntries& into) {
    if (count < 0 || count > kPathListCapacity ||
        static_cast<std::uint64_t>(count) * kMinEntryBytes > in.remaining()) {
        return false;
    }
    into.records.resize(static_cast<std::size_t>(count));
    into.paths.resize(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint64_t laterEntries =
            static_cast<std::uint64_t>(count - 1 - i) * kMinEntryBytes;
        if (!in.string(into.paths[i], kImageRecordBytes + laterEntries) ||
            !in.record(into.records[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

int WriteDatafile(const std::string& path, const DatafileSlot& slot) {
    AtomicFileWriter writer(path);
    if (!writer.ok()) {
        return 0;
    }
    std::string out;
    out.reserve(kFlushBytes + 1024);
    putU8(out, kSignature1);
    putU8(out, kSignature2);
    putU32(out, static_cast<std::uint32_t>(slot.count()));
    putString(out, slot.m_nSourceKind != 0 ? slot.m_strSourceFolder : slot.m_strSourceList);
    putU32(out, static_cast<std::uint32_t>(slot.m_nSourceKind));
    putU32(out, static_cast<std::uint32_t>(slot.m_bSubfolders));
    for (std::size_t i = 0; i < slot.records().size(); ++i) {
        putString(out, slot.paths()[i]);
        putRecord(out, slot.records()[i]);
        if (out.size() >= kFlushBytes) {
            writer.write(out);
            out.clear();
        }
    }
    writer.write(out);
    return writer.commit() ? 1 : 0;
}

int ReadDatafile(const std::string& path, int slotNumber, DatafileSlot& slot, Prompter& prompter) {
    if (slotNumber != 0 && slotNumber != 1) {
        return 0;
    }
    const FilePtr file = OpenRegularFileForReading(path);
    struct stat info {};
    if (!file || ::fstat(::fileno(file.get()), &info) != 0) {
        return 0;
    }
    ArchiveReader in(file.get(), static_cast<std::uint64_t>(info.st_size));
    std::uint8_t signature = 0;
    if (!in.u8(signature)) {
        return 0;
    }
    if (signature != kSignature1) {
        prompter.inform("Twinly",
                        slotNumber == 0 ? "Not a vaild Dup data file" : "File header not = to WH",
                        PromptIcon::Warning);
        return 0;
    }
    if (!in.u8(signature)) {
        return 0;
    }
    if (signature != kSignature2) {
        prompter.inform("Twinly", "File header not = to DB", PromptIcon::Warning);
        return 0;
    }
    std::int32_t count = 0;
    std::string source;
    std::int32_t kind = 0;
    std::int32_t subfolders = 0;
    if (!in.i32(count) || !in.string(source, 8) || !in.i32(kind) || !in.i32(subfolders)) {
        return 0;
    }
    // Read aside so a bad file leaves the slot untouched.
    SlotEntries read;
    if (!readEntries(in, count, read)) {
        return 0;
    }
    slot.setEntries(std::move(read.paths), std::move(read.records));
    slot.m_nSourceKind = kind;
    slot.m_bSubfolders = subfolders;
    (kind != 0 ? slot.m_strSourceFolder : slot.m_strSourceList) = std::move(source);
    return 1;
}

std::string DatafileLabel(const std::string& path) {
    const std::size_t sep = path.find_last_of(kPathSeparator);
    std::string name = sep == std::string::npos ? path : path.substr(sep + 1);
    name.resize(name.size() >= 4 ? name.size() - 4 : 0);
    return "Data file: " + name;
}

PurgeResult PurgeMissingRecords(DatafileSlot& slot) {
    PurgeResult result;
    if (!slot.hasRecords()) {
        return result;
    }
    SlotEntries entries = slot.takeEntries();
    const std::size_t count = entries.records.size();
    std::size_t kept = 0;
    for (std::size_t i = 0; i < count; ++i) {
        std::error_code ec;
        const bool exists = std::filesystem::exists(entries.paths[i], ec) && !ec;
        if (exists && entries.records[i].nWidth != 0) {
            if (kept != i) {
                entries.records[kept] = entries.records[i];
                entries.paths[kept] = std::move(entries.paths[i]);
            }
            ++kept;
            continue;
        }
        ++result.removed;
        result.removedExisting = result.removedExisting || exists;
    }
    entries.records.resize(kept);
    entries.paths.resize(kept);
    slot.setEntries(std::move(entries.paths), std::move(entries.records));
    return result;
}
