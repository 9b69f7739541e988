#include "run_state.h"

#include "disk_stamp.h"
#include "path_compare.h"

RunState::RunState(QObject* parent) : QObject(parent) {}

void RunState::setCompareMode(CompareMode mode) {
    if (mode == m_nCompareMode) {
        return;
    }
    m_nCompareMode = mode;
    emit compareModeChanged(mode);
}

bool RunState::comparisonDataLoaded() const {
    switch (m_nCompareMode) {
        case CompareMode::SecondaryToPrimary:
            return primary().hasRecords() && secondary().hasRecords();
        case CompareMode::SingleToPrimary:
            return primary().hasRecords() && m_bSingleLoaded;
        case CompareMode::WithinPrimary:
            break;
    }
    return primary().hasRecords();
}

FindSettings RunState::findSettings() const {
    FindSettings f;
    f.method = m_settings.m_nMethod;
    f.restriction = m_settings.m_nMatchRestriction;
    f.aspectTol = m_settings.m_nAspectTol;
    f.sizeTol = m_settings.m_nSizeTol;
    f.adjustAmount = m_settings.m_nAdjustAmount;
    f.useLumForGrey = m_settings.m_bUseLumForGrey != 0;
    f.checkMirror = m_settings.m_bCheckMirror != 0;
    f.checkRotation = m_settings.m_bCheckRotation != 0;
    f.adjustColor = m_settings.m_bAdjustColor != 0;
    f.prescreen = m_settings.m_bLargeView != 0 && m_nCompareMode != CompareMode::SingleToPrimary;
    return f;
}

void RunState::setSlot(int slot, DatafileSlot data) {
    m_slots[index(slot)] = std::move(data);
    emit slotChanged(index(slot));
}

void RunState::setSlotSource(int slot, const DatafileSlot& source) {
    DatafileSlot& s = m_slots[index(slot)];
    s.m_nSourceKind = source.m_nSourceKind;
    s.m_bSubfolders = source.m_bSubfolders;
    s.m_strSourceFolder = source.m_strSourceFolder;
    s.m_strSourceList = source.m_strSourceList;
}

void RunState::clearSlot(int slot) {
    m_slots[index(slot)].clearData();
    emit slotChanged(index(slot));
}

SlotEntries RunState::takeSlotEntries(int slot) {
    SlotEntries entries = m_slots[index(slot)].takeEntries();
    emit slotChanged(index(slot));
    return entries;
}

PurgeResult RunState::purgeSlot(int slot) {
    const PurgeResult result = PurgeMissingRecords(m_slots[index(slot)]);
    emit slotChanged(index(slot));
    return result;
}

void RunState::setSlotLabel(int slot, std::string label) {
    m_slotLabels[index(slot)] = std::move(label);
    emit slotChanged(index(slot));
}

void RunState::setSingleImage(std::string path, const ImageRecord& record) {
    m_strSinglePath = std::move(path);
    m_singleRecord = record;
    m_bSingleLoaded = 1;
    emit singleImageChanged();
}

void RunState::replaceMatches(MatchList& list) {
    emit matchesAboutToReset();
    m_matches.swap(list);
    emit matchesReset();
}

WriteBackResult RunState::writeMatchesBack(const std::string& path) {
    return WriteLogBack(path, m_matches);
}

void RunState::restampMatches(const std::string& path) {
    m_matches.m_readStamp = DiskStampOf(path);
}

bool RunState::sortMatches(bool descending) {
    emit matchesAboutToReset();
    const bool sorted = SortPairs(m_matches, descending);
    emit matchesReset();
    return sorted;
}

DeletionMarks RunState::markDeleted(const std::string& path) {
    m_matches.markDeleted(path);
    emit matchLinesChanged();
    // Either side of a pair may come from the primary data file, and its
    // records changed either way, so the reminder to save covers both.
    DeletionMarks marks;
    std::vector<DatafileSlot::MarkedRecord> changed;
    DatafileSlot& primary = m_slots[kPrimarySlot];
    if (primary.hasRecords() && primary.markDeleted(path, &changed)) {
        setPrimaryUnsaved(true);
    }
    for (const auto& c : changed) {
        marks.records.push_back({kPrimarySlot, c.index, c.width});
    }
    changed.clear();
    DatafileSlot& secondary = m_slots[kSecondarySlot];
    if (secondary.hasRecords()) {
        secondary.markDeleted(path, &changed);
    }
    for (const auto& c : changed) {
        marks.records.push_back({kSecondarySlot, c.index, c.width});
    }
    return marks;
}

void RunState::unmarkDeleted(const std::string& path, const DeletionMarks& marks) {
    if (m_matches.unmarkDeleted(path) > 0) {
        emit matchLinesChanged();
    }
    for (const DeletionMarks::Record& r : marks.records) {
        m_slots[index(r.slot)].unmarkDeleted(r.index, path, r.width);
    }
}

void RunState::setFlag(int& flag, bool value) {
    const int v = value ? 1 : 0;
    if (flag != v) {
        flag = v;
        emit flagsChanged();
    }
}

void RunState::setPrimaryUnsaved(bool unsaved) {
    setFlag(m_bPrimaryUnsaved, unsaved);
}

void RunState::setResultsPending(bool pending) {
    setFlag(m_bResultsPending, pending);
}

void RunState::setLogChanged(bool changed) {
    setFlag(m_bLogChanged, changed);
}

void RunState::applyMoveRule() {
    TwinlySettings& s = m_settings;
    m_moves = ::ApplyMoveRule(s.m_bMoveTo != 0, MoveFolderExists(s.m_strMoveFolder),
                              MoveFolderExists(s.m_strMoveFolder2));
    s.m_bMoveTo = m_moves.moveTo ? 1 : 0;
    emit movesChanged();
}
