#pragma once
// What one run of the duplicate finder is, apart from any window: the
// settings, the two data file slots, the single comparison image, the loaded
// match list and the flags that decide what has to be saved. The pages and
// the viewer observe it; the command classes change it.

#include <QObject>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "compare.h"
#include "datafile_io.h"
#include "datafile_slot.h"
#include "find_modes.h"
#include "image_record.h"
#include "image_suffix.h"
#include "log_writer.h"
#include "match_list.h"
#include "move_rule.h"
#include "settings.h"

/// Slot numbers.
inline constexpr int kPrimarySlot = 0;
inline constexpr int kSecondarySlot = 1;

/// What RunState::markDeleted changed in the slots' records, so that an
/// undo can put it back.
struct DeletionMarks {
    struct Record {
        int slot = 0;
        std::size_t index = 0;
        std::uint16_t width = 0;
    };
    std::vector<Record> records;
};

/// The state of a run. Everything that shows or changes it goes through its
/// members, so the signals tell every observer. User-interface thread.
class RunState : public QObject {
    Q_OBJECT
  public:
    explicit RunState(QObject* parent = nullptr);

    // ----- Settings -----
    /// The stored settings, read when the window starts and written when it goes.
    TwinlySettings& settings() { return m_settings; }
    const TwinlySettings& settings() const { return m_settings; }
    /// Tells the observers that settings they show have changed.
    void announceSettings() { emit settingsChanged(); }
    /// The resampling filter of builds (0..13); 3 at every start, never stored.
    int filterIndex() const { return m_nFilterIndex; }
    void setFilterIndex(int index) { m_nFilterIndex = index; }
    /// The find setup shows its filter list for the rest of the run.
    bool filterUnlocked() const { return m_bFilterUnlocked != 0; }
    void setFilterUnlocked(bool unlocked) { m_bFilterUnlocked = unlocked ? 1 : 0; }
    /// Which files builds, counts and single-image searches take as images.
    ImageFormats imageFormats() const {
        return m_settings.m_bAllImageFormats ? ImageFormats::All : ImageFormats::Classic;
    }

    // ----- What is compared -----
    CompareMode compareMode() const { return m_nCompareMode; }
    void setCompareMode(CompareMode mode);
    /// Whether the data the comparison mode needs is loaded.
    bool comparisonDataLoaded() const;
    /// The comparison settings of the next find run, for the current mode.
    FindSettings findSettings() const;

    // ----- Data file slots -----
    const DatafileSlot& slot(int slot) const { return m_slots[index(slot)]; }
    const DatafileSlot& primary() const { return m_slots[kPrimarySlot]; }
    const DatafileSlot& secondary() const { return m_slots[kSecondarySlot]; }
    /// Replaces a slot as a build or an open left it.
    void setSlot(int slot, DatafileSlot data);
    /// Takes a slot's source (kind, folder, subfolder flag, list) from `source`.
    void setSlotSource(int slot, const DatafileSlot& source);
    /// Drops a slot's data; its source stays.
    void clearSlot(int slot);
    /// Moves a slot's entries out (the start of a fast rebuild).
    SlotEntries takeSlotEntries(int slot);
    /// Drops the entries whose image is gone (PurgeMissingRecords).
    PurgeResult purgeSlot(int slot);
    /// What the "Get data" page shows for the slot's data.
    const std::string& slotLabel(int slot) const { return m_slotLabels[index(slot)]; }
    void setSlotLabel(int slot, std::string label);
    /// The loaded primary data file; empty when none (the default "SaveAs" name).
    const std::string& primaryPath() const { return m_strPrimaryPath; }
    void setPrimaryPath(std::string path) { m_strPrimaryPath = std::move(path); }

    // ----- The single comparison image -----
    bool singleLoaded() const { return m_bSingleLoaded != 0; }
    /// "Image 1" of every single-image pair.
    const std::string& singlePath() const { return m_strSinglePath; }
    const ImageRecord& singleRecord() const { return m_singleRecord; }
    void setSingleImage(std::string path, const ImageRecord& record);

    // ----- The match list -----
    const MatchList& matches() const { return m_matches; }
    /// Takes over a freshly read list (swapped in; `list` gets the old lines).
    void replaceMatches(MatchList& list);
    /// Re-orders the pairs by percentage; false when the list was left alone.
    bool sortMatches(bool descending);
    /// Writes the list back over the log at `path`, unless that file changed
    /// since it was read (WriteLogBack).
    WriteBackResult writeMatchesBack(const std::string& path);
    /// The list stands for the file at `path` as it is now (just saved there).
    void restampMatches(const std::string& path);
    /// Sets the first and last pair lines from the list's lines.
    void recordPairLines() { m_matches.recordPairLines(); }
    /// Marks every reference to `path` deleted: in the match list and in the
    /// records of both slots. A primary record marked leaves the primary
    /// data unsaved.
    DeletionMarks markDeleted(const std::string& path);
    /// Puts back what markDeleted(path) marked, once the file is back: the
    /// match list's references and the records' widths, where a slot still
    /// holds that path marked deleted.
    void unmarkDeleted(const std::string& path, const DeletionMarks& marks);

    // ----- Flags -----
    bool primaryUnsaved() const { return m_bPrimaryUnsaved != 0; }
    void setPrimaryUnsaved(bool unsaved);
    /// A find run's results wait to be read into the viewer.
    bool resultsPending() const { return m_bResultsPending != 0; }
    void setResultsPending(bool pending);
    /// Images were removed since the shown log was read or saved.
    bool logChanged() const { return m_bLogChanged != 0; }
    void setLogChanged(bool changed);

    // ----- The move rule -----
    /// Whether each side's "Delete" button moves instead.
    const MoveFlags& moves() const { return m_moves; }
    /// With "'Move' instead of 'Delete'" a side's Delete button moves when that
    /// side's folder exists; the option turns itself off when neither does.
    void applyMoveRule();

  signals:
    void settingsChanged();
    void compareModeChanged(CompareMode mode);
    /// A slot's data or label changed.
    void slotChanged(int slot);
    void singleImageChanged();
    /// The match list is about to be replaced or re-ordered, and has been.
    void matchesAboutToReset();
    void matchesReset();
    /// Lines of the match list changed text; their number did not.
    void matchLinesChanged();
    void flagsChanged();
    void movesChanged();

  private:
    static int index(int slot) { return slot == kSecondarySlot ? kSecondarySlot : kPrimarySlot; }
    void setFlag(int& flag, bool value);

    TwinlySettings m_settings;
    int m_nFilterIndex = 3;
    int m_bFilterUnlocked = 0;
    CompareMode m_nCompareMode = CompareMode::WithinPrimary;
    std::array<DatafileSlot, 2> m_slots;
    std::array<std::string, 2> m_slotLabels;
    std::string m_strPrimaryPath;
    ImageRecord m_singleRecord{};
    std::string m_strSinglePath;
    int m_bSingleLoaded = 0;
    MatchList m_matches;
    int m_bPrimaryUnsaved = 0;
    int m_bResultsPending = 1;
    int m_bLogChanged = 0;
    MoveFlags m_moves;
};
