#include "editor_settings.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "key_value_store.h"
#include "prompter.h"
#include "store_keys.h"

namespace {

using namespace StoreKey;
using namespace StoreValue;
using S = EditorSettings;
using T = ImageTypeFilter;

constexpr const char* kWriteErrorCaption = "Orvex";

enum class Kind {
    Text,
    Switch,      // "Yes" / "No"; on unless stored as exactly "No"
    TypeSwitch,  // a switch of the image type filter
    Recent,      // a slot of the recent lists; a missing value empties the slot
};

struct Row {
    const char* key;
    const char* name;
    Kind kind;
    std::string S::*text = nullptr;
    bool S::*flag = nullptr;
    bool T::*type = nullptr;
    int slot = -1;
};

constexpr Row type(const char* name, bool T::*field) {
    return {.key = kSettings, .name = name, .kind = Kind::TypeSwitch, .type = field};
}

constexpr Row recent(const char* name, int slot) {
    return {.key = kMru, .name = name, .kind = Kind::Recent, .slot = slot};
}

// Every stored value, key by key, in the order they are written.
constexpr Row kRows[] = {
    {.key = kFolders, .name = kListPath, .kind = Kind::Text, .text = &S::defaultListFolder},
    type("JPG", &T::jpg),
    type("BMP", &T::bmp),
    type("PCX", &T::pcx),
    type("PNG", &T::png),
    type("TIF", &T::tif),
    type("TGA", &T::tga),
    type("GIF", &T::gif),
    type("WMF", &T::wmf),
    type("RAW", &T::raw),
    type("PSD", &T::psd),
    type("HEIC", &T::heic),
    type("AVIF", &T::avif),
    type("WEBP", &T::webp),
    type("JXL", &T::jxl),
    {.key = kDialogs, .name = kLastBatchFolder, .kind = Kind::Text, .text = &S::lastBatchFolder},
    {.key = kDialogs, .name = kLastBatchFile, .kind = Kind::Text, .text = &S::lastBatchFile},
    {.key = kDialogs, .name = "AutoCnt", .kind = Kind::Switch, .flag = &S::autoCount},
    recent("List1", 0),
    recent("List2", 1),
    recent("List3", 2),
    recent("List4", 3),
};

// The keys in load order, each with the message a failed write shows; the
// default folders are the finder's to write.
struct KeyInfo {
    const char* key;
    const char* writeError;
};
constexpr KeyInfo kKeys[] = {
    {kFolders, nullptr},
    {kSettings, "registry write error_2677TW"},
    {kDialogs, "registry write error_2697TW"},
    {kMru, "registry write error_2675TW"},
};

bool sameKey(const Row& row, const char* key) {
    return std::string_view(row.key) == key;
}

void readRow(KeyValueStore& store, const Row& row, EditorSettings& s) {
    const std::optional<std::string> v = store.readString(row.key, row.name);
    switch (row.kind) {
        case Kind::Text:
            if (v) {
                s.*row.text = *v;
            }
            break;
        case Kind::Switch:
            if (v) {
                s.*row.flag = *v != "No";
            }
            break;
        case Kind::TypeSwitch:
            if (v) {
                s.types.*row.type = *v != "No";
            }
            break;
        case Kind::Recent:
            s.recent.set(row.slot, v.value_or(std::string()));
            break;
    }
}

bool writeRow(KeyValueStore& store, const Row& row, const EditorSettings& s) {
    const auto yesNo = [](bool on) { return on ? "Yes" : "No"; };
    switch (row.kind) {
        case Kind::Text:
            return store.writeString(row.key, row.name, s.*row.text);
        case Kind::Switch:
            return store.writeString(row.key, row.name, yesNo(s.*row.flag));
        case Kind::TypeSwitch:
            return store.writeString(row.key, row.name, yesNo(s.types.*row.type));
        case Kind::Recent:
            return store.writeString(row.key, row.name, s.recent.at(row.slot));
    }
    return false;
}

// A hand-edited store may hold the same list twice.
void dropRepeatedRecentLists(RecentLists& recent) {
    for (int slot = 1; slot < RecentLists::kSlots; ++slot) {
        for (int above = 0; above < slot; ++above) {
            if (!recent.at(slot).empty() && recent.at(slot) == recent.at(above)) {
                recent.set(slot, {});
            }
        }
    }
    recent.closeGaps();
}

std::vector<std::uint8_t> littleEndian(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
            static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)};
}

std::optional<std::int32_t> readLittleEndian(KeyValueStore& store, const char* name) {
    const auto bytes = store.readBinary(kEditorPlacement, name);
    if (!bytes || bytes->size() != 4) {
        return std::nullopt;
    }
    const std::uint32_t u = std::uint32_t{(*bytes)[0]} | std::uint32_t{(*bytes)[1]} << 8 |
                            std::uint32_t{(*bytes)[2]} << 16 | std::uint32_t{(*bytes)[3]} << 24;
    return static_cast<std::int32_t>(u);
}

}  // namespace

void LoadEditorSettings(KeyValueStore& store, EditorSettings& settings) {
    for (const KeyInfo& key : kKeys) {
        store.openKey(key.key);
        for (const Row& row : kRows) {
            if (sameKey(row, key.key)) {
                readRow(store, row, settings);
            }
        }
    }
    dropRepeatedRecentLists(settings.recent);
}

void SaveEditorSettings(KeyValueStore& store, const EditorSettings& settings, Prompter& prompter) {
    for (const KeyInfo& key : kKeys) {
        if (key.writeError == nullptr) {
            continue;
        }
        // A key stops at its first failed write; the other keys are still written.
        bool ok = store.openKey(key.key);
        for (const Row& row : kRows) {
            if (sameKey(row, key.key)) {
                ok = ok && writeRow(store, row, settings);
            }
        }
        if (!ok) {
            prompter.inform(kWriteErrorCaption, key.writeError);
        }
    }
}

std::optional<WindowPlacement> LoadWindowPlacement(KeyValueStore& store) {
    store.openKey(kEditorPlacement);
    if (store.readString(kEditorPlacement, "SavedState") != std::optional<std::string>("Yes")) {
        return std::nullopt;
    }
    const auto flags = readLittleEndian(store, "Flags");
    const auto show = readLittleEndian(store, "ShowCmd");
    const auto left = readLittleEndian(store, "Left");
    const auto top = readLittleEndian(store, "Top");
    const auto right = readLittleEndian(store, "Right");
    const auto bottom = readLittleEndian(store, "Bottom");
    if (!flags || !show || !left || !top || !right || !bottom) {
        return std::nullopt;
    }
    return WindowPlacement{*flags, *show, *left, *top, *right, *bottom};
}

void SaveWindowPlacement(KeyValueStore& store, const WindowPlacement& p) {
    if (!store.openKey(kEditorPlacement)) {
        return;
    }
    store.writeString(kEditorPlacement, "SavedState", "Yes");
    store.writeBinary(kEditorPlacement, "Flags", littleEndian(p.flags));
    store.writeBinary(kEditorPlacement, "ShowCmd", littleEndian(p.showCmd));
    store.writeBinary(kEditorPlacement, "Left", littleEndian(p.left));
    store.writeBinary(kEditorPlacement, "Top", littleEndian(p.top));
    store.writeBinary(kEditorPlacement, "Right", littleEndian(p.right));
    store.writeBinary(kEditorPlacement, "Bottom", littleEndian(p.bottom));
}
