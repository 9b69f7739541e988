#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "image_record.h"

/// A path list holds at most this many paths.
inline constexpr int kPathListCapacity = 32000;

/// The path-list text that marks a missing, unreadable or removed image.
inline constexpr const char* kDeletedEntry = "Deleted";

/// The entries of a slot taken out of it: record i belongs to path i.
struct SlotEntries {
    std::vector<std::string> paths;
    std::vector<ImageRecord> records;
};

/// One of the two data file slots (primary, secondary): the image paths, one
/// record per path in the same order, and where they came from. While a build
/// gathers its source, the paths come first and the records follow with the
/// build's result; otherwise record i is always the signature of path i.
/// Owned and touched by one thread at a time (the user-interface thread in
/// the window); a job works on copies and hands its result back by value.
class DatafileSlot {
  public:
    int m_nSourceKind = 1;  ///< 1 folder, 0 image list
    int m_bSubfolders = 0;  ///< folder source: subfolders included
    std::string m_strSourceFolder;
    std::string m_strSourceList;
    /// "; Source: " + list path, or folder [+ " + all subfolders"]; goes into the dups log.
    std::string m_strSourceNote;

    int count() const { return static_cast<int>(m_records.size()); }
    bool hasRecords() const { return !m_records.empty(); }
    /// The signatures; empty when no data is loaded.
    const std::vector<ImageRecord>& records() const { return m_records; }
    /// The path list: "Deleted" stands in for an entry whose image is gone.
    const std::vector<std::string>& paths() const { return m_paths; }

    /// Appends a path while the source is gathered; false (nothing added)
    /// when the list is full.
    bool appendPath(const std::string& path);
    /// How many paths the list takes: kPathListCapacity, as a data file holds
    /// at most that many, unless a caller that writes split sets raises it.
    int pathCapacity() const { return m_pathCapacity; }
    void setPathCapacity(int capacity) { m_pathCapacity = std::max(0, capacity); }
    void reservePaths(int count);
    /// Replaces the entries: record i for path i. Entries beyond the shorter
    /// of the two lists are dropped, so no record is ever without its path.
    void setEntries(std::vector<std::string> paths, std::vector<ImageRecord> records);
    /// Moves the entries out; the slot keeps its source and holds no data.
    SlotEntries takeEntries();
    /// A record markDeleted changed: its index and the width it had.
    struct MarkedRecord {
        std::size_t index = 0;
        std::uint16_t width = 0;
    };
    /// Marks every record of `path` (whole-path equality as the file system
    /// has it) as deleted; true when one was marked. The records that were
    /// not marked before are added to `changed` when given.
    bool markDeleted(const std::string& path, std::vector<MarkedRecord>* changed = nullptr);
    /// Undoes markDeleted for record `index`: gives it back `width`, when it
    /// still holds `path` and is marked deleted. False when it changed nothing.
    bool unmarkDeleted(std::size_t index, const std::string& path, std::uint16_t width);
    /// Drops records and paths; the source description stays.
    void clearData();
    /// A slot with this one's source description and path capacity, and no data.
    DatafileSlot sourceOnly() const;

    /// "; Source: " and the list path, or the folder with " + all subfolders"
    /// when they are included: what m_strSourceNote is set to at a build or open.
    std::string sourceNote() const;

  private:
    std::vector<ImageRecord> m_records;
    std::vector<std::string> m_paths;
    int m_pathCapacity = kPathListCapacity;
};
