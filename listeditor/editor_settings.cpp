#include "editor_settings.h"

#include <array>
#include <cstring>
#include <vector>

#include "key_value_store.h"
#include "prompter.h"

namespace {

constexpr const char* kKeyShared = "1.0";
constexpr const char* kKeySettings = "Settings";
constexpr const char* kKeyDialogs = "Dialogs";
constexpr const char* kKeyMru = "MRU";
constexpr const char* kKeyPlacement = "WinStateOrvex";
constexpr const char* kWriteErrorCaption = "Orvex";

struct TypeValue {
    const char* name;
    bool ImageTypeFilter::*field;
};

// Load order; the save order differs (see below) and both are kept as known.
constexpr std::array<TypeValue, 10> kTypesLoadOrder = {{
    {"JPG", &ImageTypeFilter::jpg},
    {"BMP", &ImageTypeFilter::bmp},
    {"PCX", &ImageTypeFilter::pcx},
    {"PNG", &ImageTypeFilter::png},
    {"GIF", &ImageTypeFilter::gif},
    {"TIF", &ImageTypeFilter::tif},
    {"TGA", &ImageTypeFilter::tga},
    {"WMF", &ImageTypeFilter::wmf},
    {"RAW", &ImageTypeFilter::raw},
    {"PSD", &ImageTypeFilter::psd},
}};
constexpr std::array<TypeValue, 10> kTypesSaveOrder = {{
    {"JPG", &ImageTypeFilter::jpg},
    {"BMP", &ImageTypeFilter::bmp},
    {"PCX", &ImageTypeFilter::pcx},
    {"PNG", &ImageTypeFilter::png},
    {"TIF", &ImageTypeFilter::tif},
    {"TGA", &ImageTypeFilter::tga},
    {"GIF", &ImageTypeFilter::gif},
    {"WMF", &ImageTypeFilter::wmf},
    {"RAW", &ImageTypeFilter::raw},
    {"PSD", &ImageTypeFilter::psd},
}};

const char* yesNo(bool on) {
    return on ? "Yes" : "No";
}

void readText(KeyValueStore& store, const char* key, const char* name, std::string& field) {
    if (auto v = store.readString(key, name)) {
        field = *v;
    }
}

void readSwitch(KeyValueStore& store, const char* key, const char* name, bool& field) {
    if (auto v = store.readString(key, name)) {
        field = *v != "No";
    }
}

std::string recentName(int slot) {
    return "List" + std::to_string(slot + 1);
}

std::vector<std::uint8_t> littleEndian(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
            static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)};
}

std::optional<std::int32_t> readLittleEndian(KeyValueStore& store, const char* name) {
    const auto bytes = store.readBinary(kKeyPlacement, name);
    if (!bytes || bytes->size() != 4) {
        return std::nullopt;
    }
    const std::uint32_t u = std::uint32_t{(*bytes)[0]} | std::uint32_t{(*bytes)[1]} << 8 |
                            std::uint32_t{(*bytes)[2]} << 16 | std::uint32_t{(*bytes)[3]} << 24;
    return static_cast<std::int32_t>(u);
}

}  // namespace

void LoadEditorSettings(KeyValueStore& store, EditorSettings& settings) {
    store.openKey(kKeyShared);
    readText(store, kKeyShared, "ListPath", settings.defaultListFolder);

    store.openKey(kKeySettings);
    for (const TypeValue& t : kTypesLoadOrder) {
        readSwitch(store, kKeySettings, t.name, settings.types.*t.field);
    }
    settings.types.raw = false;

    store.openKey(kKeyDialogs);
    readText(store, kKeyDialogs, "LastBatchFolder", settings.lastBatchFolder);
    readText(store, kKeyDialogs, "LastBatchFile", settings.lastBatchFile);
    readSwitch(store, kKeyDialogs, "AutoCnt", settings.autoCount);

    store.openKey(kKeyMru);
    for (int slot = 0; slot < RecentLists::kSlots; ++slot) {
        std::string path;
        readText(store, kKeyMru, recentName(slot).c_str(), path);
        settings.recent.set(slot, path);
    }
    // A hand-edited store may hold the same list twice.
    for (int slot = 1; slot < RecentLists::kSlots; ++slot) {
        for (int above = 0; above < slot; ++above) {
            if (!settings.recent.at(slot).empty() &&
                settings.recent.at(slot) == settings.recent.at(above)) {
                settings.recent.set(slot, {});
            }
        }
    }
    settings.recent.closeGaps();
}

void SaveEditorSettings(KeyValueStore& store, const EditorSettings& settings, Prompter& prompter) {
    bool ok = store.openKey(kKeySettings);
    for (const TypeValue& t : kTypesSaveOrder) {
        ok = ok && store.writeString(kKeySettings, t.name, yesNo(settings.types.*t.field));
    }
    if (!ok) {
        prompter.inform(kWriteErrorCaption, "registry write error_2677TW");
    }

    ok = store.openKey(kKeyDialogs) &&
         store.writeString(kKeyDialogs, "LastBatchFolder", settings.lastBatchFolder) &&
         store.writeString(kKeyDialogs, "LastBatchFile", settings.lastBatchFile) &&
         store.writeString(kKeyDialogs, "AutoCnt", yesNo(settings.autoCount));
    if (!ok) {
        prompter.inform(kWriteErrorCaption, "registry write error_2697TW");
    }

    ok = store.openKey(kKeyMru);
    for (int slot = 0; slot < RecentLists::kSlots; ++slot) {
        ok = ok && store.writeString(kKeyMru, recentName(slot), settings.recent.at(slot));
    }
    if (!ok) {
        prompter.inform(kWriteErrorCaption, "registry write error_2675TW");
    }
}

std::optional<WindowPlacement> LoadWindowPlacement(KeyValueStore& store) {
    store.openKey(kKeyPlacement);
    if (store.readString(kKeyPlacement, "SavedState") != std::optional<std::string>("Yes")) {
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
    if (!store.openKey(kKeyPlacement)) {
        return;
    }
    store.writeString(kKeyPlacement, "SavedState", "Yes");
    store.writeBinary(kKeyPlacement, "Flags", littleEndian(p.flags));
    store.writeBinary(kKeyPlacement, "ShowCmd", littleEndian(p.showCmd));
    store.writeBinary(kKeyPlacement, "Left", littleEndian(p.left));
    store.writeBinary(kKeyPlacement, "Top", littleEndian(p.top));
    store.writeBinary(kKeyPlacement, "Right", littleEndian(p.right));
    store.writeBinary(kKeyPlacement, "Bottom", littleEndian(p.bottom));
}
