#include "settings.h"

#include <filesystem>
#include <numeric>
#include <optional>
#include <type_traits>
#include <utility>

#include "key_value_store.h"
#include "prompter.h"
#include "store_keys.h"
#include "stored_image_formats.h"

using namespace StoreKey;
using namespace StoreValue;

namespace {

enum class Kind {
    Marker,  // "First": written as "Second" once a save completes
    String,
    Switch,  // "Yes" / "No"
    Number,
};

// What a number outside its range becomes.
enum class OutOfRange { Clamp, Reset };

// What ApplyFirstStartDefaults does with a row.
enum class FirstStart { Keep, Empty, Folder, Value };

struct Row {
    const char* key;
    const char* name;
    Kind kind;
    std::string TwinlySettings::*text = nullptr;
    int TwinlySettings::*number = nullptr;
    int seq = -1;  // position in m_nDeleteSequence instead of `number`
    // A typed field stored as its number, instead of `number`.
    int (*get)(const TwinlySettings&) = nullptr;
    void (*set)(TwinlySettings&, int) = nullptr;
    FirstStart firstStart = FirstStart::Keep;
    int defaultValue = 0;          // numbers: missing and first start; switches: first start
    const char* folder = nullptr;  // FirstStart::Folder: subfolder of the data folder
    int min = 0;
    int max = 0;
    OutOfRange rule = OutOfRange::Clamp;
    int resetTo = 0;
    bool ranged = false;
    std::string TwinlySettings::*missingFrom = nullptr;  // a missing string copies this field
    bool onUnlessNo = false;  // a switch added later: missing reads as on
};

using S = TwinlySettings;

constexpr Row str(const char* key, const char* name, std::string S::*field,
                  FirstStart fs = FirstStart::Keep, const char* folder = nullptr) {
    return {.key = key,
            .name = name,
            .kind = Kind::String,
            .text = field,
            .firstStart = fs,
            .folder = folder};
}

constexpr Row sw(const char* name, int S::*field, std::optional<bool> firstStart) {
    return {.key = kDups,
            .name = name,
            .kind = Kind::Switch,
            .number = field,
            .firstStart = firstStart ? FirstStart::Value : FirstStart::Keep,
            .defaultValue = firstStart.value_or(false) ? 1 : 0};
}

constexpr Row clamped(const char* name, int S::*field, int def, int lo, int hi) {
    return {.key = kDups,
            .name = name,
            .kind = Kind::Number,
            .number = field,
            .firstStart = FirstStart::Value,
            .defaultValue = def,
            .min = lo,
            .max = hi,
            .rule = OutOfRange::Clamp,
            .ranged = true};
}

constexpr Row reset(const char* name, int S::*field, int def, int lo, int hi, int to) {
    return {.key = kDups,
            .name = name,
            .kind = Kind::Number,
            .number = field,
            .firstStart = FirstStart::Value,
            .defaultValue = def,
            .min = lo,
            .max = hi,
            .rule = OutOfRange::Reset,
            .resetTo = to,
            .ranged = true};
}

// A "reset" row over an enum field: stored as the enum's number.
template <auto Field>
constexpr Row resetEnum(const char* name, int def, int lo, int hi, int to) {
    using E = std::remove_reference_t<decltype(std::declval<S&>().*Field)>;
    Row row = reset(name, nullptr, def, lo, hi, to);
    row.get = [](const S& s) { return static_cast<int>(s.*Field); };
    row.set = [](S& s, int v) { s.*Field = static_cast<E>(v); };
    return row;
}

constexpr Row seq(const char* name, int position) {
    return {.key = kDups,
            .name = name,
            .kind = Kind::Number,
            .seq = position,
            .firstStart = FirstStart::Value,
            .defaultValue = kDefaultDeleteSequence[static_cast<std::size_t>(position)]};
}

// Every stored value in the order it is read and written.
constexpr Row kRows[] = {
    str(kFolders, kListPath, &S::m_strListPath, FirstStart::Folder, "Orvexs"),
    str(kFolders, "LogPath", &S::m_strLogPath, FirstStart::Folder, "DupLogs"),
    str(kFolders, "DupDataPath", &S::m_strDupDataPath, FirstStart::Folder, "DupData"),

    str(kDialogs, kLastBatchFolder, &S::m_strLastBatchFolder),
    str(kDialogs, kLastBatchFile, &S::m_strLastBatchFile),
    str(kDialogs, "LastOutFolder", &S::m_strLastOutFolder),
    str(kDialogs, "LastInFolder", &S::m_strLastInFolder),

    {.key = kDups, .name = "First", .kind = Kind::Marker, .number = &S::m_bFirstRun},
    str(kDups, "LastFold", &S::m_strLastFolder, FirstStart::Empty),
    {.key = kDups,
     .name = "LastSecFold",
     .kind = Kind::String,
     .text = &S::m_strLastSecFolder,
     .missingFrom = &S::m_strLastFolder},
    str(kDups, "LastBatFile", &S::m_strLastListFile),
    str(kDups, "LastSingleFold", &S::m_strLastSingleFolder, FirstStart::Empty),
    str(kDups, "MoveFolder", &S::m_strMoveFolder, FirstStart::Empty),
    str(kDups, "MoveFolder2", &S::m_strMoveFolder2, FirstStart::Empty),
    sw("CheckRec", &S::m_bRecursive, std::nullopt),
    sw("Ask", &S::m_bAutoView, false),
    sw("Find", &S::m_bAutoFind, false),
    sw("Conf", &S::m_bPauseOnNoDelete, true),
    sw("Remind", &S::m_bRemindSave, true),
    sw("PermDel", &S::m_bPermanentDelete, false),
    sw("Quick", &S::m_bQuickCount, true),
    sw("DoBeep", &S::m_bBeep, true),
    sw("ShowFS", &S::m_bShowFileSizes, true),
    sw("ShowM", &S::m_bShowMove, false),
    sw("MoveTo", &S::m_bMoveTo, false),
    clamped("MatchTol", &S::m_nMatchTol, MatchBand::kDefaultLow, MatchBand::kLowest,
            MatchBand::kHighest),
    resetEnum<&S::m_nMatchRestriction>("Match", 0, 0, 2, 0),
    reset("Method", &S::m_nMethod, 0, 0, 3, 0),
    sw("UseLum", &S::m_bUseLumForGrey, false),
    sw("ChkMirror", &S::m_bCheckMirror, false),
    sw("ChkRotate", &S::m_bCheckRotation, false),
    sw("AdjustCol", &S::m_bAdjustColor, false),
    sw("Large", &S::m_bLargeView, false),
    reset("AdjustAmt", &S::m_nAdjustAmount, 5, 0, 100, 0),
    reset("IAR", &S::m_nAspectTol, 0, 0, 100, 0),
    reset("ISize", &S::m_nSizeTol, 0, 0, 100, 0),
    resetEnum<&S::m_nDeleteMode>("Auto", 1, 1, 3, 1),
    reset("Sort", &S::m_nSortMode, 1, 1, 3, 1),
    reset("DupsLimit", &S::m_nDupsLimit, 1000, 10, 1000000, 1000),
    clamped("mSec", &S::m_nAutoDelay, 500, 100, 2100),
    seq("Seq00", 0),
    seq("Seq01", 1),
    seq("Seq02", 2),
    seq("Seq03", 3),
    seq("Seq04", 4),
    seq("Seq05", 5),
    seq("Seq06", 6),
    seq("Seq07", 7),
    seq("Seq08", 8),
    seq("Seq09", 9),
    seq("Seq10", 10),
    {.key = kImageFormatsStoreKey,
     .name = kImageFormatsStoreValue,
     .kind = Kind::Switch,
     .number = &S::m_bAllImageFormats,
     .firstStart = FirstStart::Value,
     .defaultValue = 1,
     .onUnlessNo = true},
};

int numberField(const TwinlySettings& s, const Row& row) {
    if (row.get != nullptr) {
        return row.get(s);
    }
    return row.seq >= 0 ? s.m_nDeleteSequence[static_cast<std::size_t>(row.seq)] : s.*row.number;
}

void setNumberField(TwinlySettings& s, const Row& row, int value) {
    if (row.set != nullptr) {
        row.set(s, value);
    } else if (row.seq >= 0) {
        s.m_nDeleteSequence[static_cast<std::size_t>(row.seq)] = value;
    } else {
        s.*row.number = value;
    }
}

// A value that would not fit the 256-byte read buffer (with its zero byte) is missing.
std::optional<std::string> readText(KeyValueStore& store, const Row& row) {
    std::optional<std::string> v = store.readString(row.key, row.name);
    if (v && v->size() > kMaxStoredStringBytes) {
        return std::nullopt;
    }
    return v;
}

int applyRange(const Row& row, int v) {
    if (!row.ranged || (v >= row.min && v <= row.max)) {
        return v;
    }
    if (row.rule == OutOfRange::Reset) {
        return row.resetTo;
    }
    return v < row.min ? row.min : row.max;
}

void readRow(KeyValueStore& store, const Row& row, TwinlySettings& s) {
    switch (row.kind) {
        case Kind::Marker:
            s.*row.number = readText(store, row) == "Second" ? 0 : 1;
            break;
        case Kind::String:
            if (std::optional<std::string> v = readText(store, row)) {
                s.*row.text = std::move(*v);
            } else {
                s.*row.text = row.missingFrom ? s.*row.missingFrom : std::string();
            }
            break;
        case Kind::Switch:
            s.*row.number = row.onUnlessNo ? (readText(store, row) == "No" ? 0 : 1)
                                           : (readText(store, row) == "Yes" ? 1 : 0);
            break;
        case Kind::Number: {
            const std::optional<std::int32_t> v = store.readNumber(row.key, row.name);
            setNumberField(s, row, v ? applyRange(row, *v) : row.defaultValue);
            break;
        }
    }
}

bool writeRow(KeyValueStore& store, const Row& row, const TwinlySettings& s,
              std::int32_t matchTolToStore) {
    switch (row.kind) {
        case Kind::Marker:
            return store.writeString(row.key, row.name, "Second");
        case Kind::String:
            return store.writeString(row.key, row.name, s.*row.text);
        case Kind::Switch:
            return store.writeString(row.key, row.name, s.*row.number == 1 ? "Yes" : "No");
        case Kind::Number:
            if (row.number == &S::m_nMatchTol) {
                return store.writeNumber(row.key, row.name, matchTolToStore);
            }
            return store.writeNumber(row.key, row.name, numberField(s, row));
    }
    return false;
}

bool sameKey(const Row& row, const char* key) {
    return std::string_view(row.key) == key;
}

}  // namespace

void LoadSettings(KeyValueStore& store, Prompter& prompter, TwinlySettings& s) {
    for (const char* key : {kFolders, kDialogs, kDups}) {
        if (!store.openKey(key)) {
            if (std::string_view(key) != kDups) {
                continue;  // these keep their values, silently
            }
            prompter.inform("Twinly", "Registry readfail #5965");
            s.m_bFirstRun = 1;
            return;
        }
        for (const Row& row : kRows) {
            if (sameKey(row, key)) {
                readRow(store, row, s);
            }
        }
    }
}

void ApplyFirstStartDefaults(TwinlySettings& s, const std::string& dataFolder) {
    for (const Row& row : kRows) {
        switch (row.firstStart) {
            case FirstStart::Keep:
                break;
            case FirstStart::Empty:
                s.*row.text = std::string();
                break;
            case FirstStart::Folder:
                s.*row.text = (std::filesystem::path(dataFolder) / row.folder).string();
                break;
            case FirstStart::Value:
                setNumberField(s, row, row.defaultValue);
                break;
        }
    }
}

void CheckDeleteSequence(TwinlySettings& s) {
    // Wide sum: stored codes are arbitrary 32-bit numbers.
    const long long sum =
        std::accumulate(s.m_nDeleteSequence.begin(), s.m_nDeleteSequence.end(), 0LL);
    if (sum != 66) {
        s.m_nDeleteSequence = kDefaultDeleteSequence;
    }
}

bool SaveSettings(KeyValueStore& store, Prompter& prompter, const TwinlySettings& s,
                  std::int32_t matchTolToStore) {
    bool ok = true;
    for (const char* key : {kFolders, kDialogs, kDups}) {
        const bool dups = std::string_view(key) == kDups;
        if (!store.openKey(key)) {
            ok = false;
            if (dups) {
                prompter.inform("Twinly", "Registry write fail #5385");
            }
            continue;
        }
        bool keyOk = true;
        for (const Row& row : kRows) {
            if (sameKey(row, key)) {
                keyOk = writeRow(store, row, s, matchTolToStore) && keyOk;
            }
        }
        if (dups && !keyOk) {
            prompter.inform("Twinly", "Registry write fail #5385");
        }
        ok = ok && keyOk;
    }
    // A store that cannot be written to disk loses every setting: say so once.
    if (!store.flush() && ok) {
        prompter.inform("Twinly", "Registry write fail #5385");
        ok = false;
    }
    return ok;
}

bool SaveFolderPaths(KeyValueStore& store, const TwinlySettings& s) {
    if (!store.openKey(kFolders)) {
        return false;
    }
    bool ok = true;
    for (const Row& row : kRows) {
        if (sameKey(row, kFolders)) {
            ok = writeRow(store, row, s, s.m_nMatchTol) && ok;
        }
    }
    return store.flush() && ok;
}
