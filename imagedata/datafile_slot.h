#pragma once

#include <string>
#include <vector>

#include "image_record.h"

/// A path list holds at most this many paths.
inline constexpr int kPathListCapacity = 32000;

/// One of the two data file slots (primary, secondary): the image paths, one
/// record per path in the same order, and where they came from.
/// Owned and touched by the user-interface thread; a job works on copies and
/// hands its result back by value.
class DatafileSlot {
  public:
    /// Record i is the signature of the image at path i; empty when no data is loaded.
    std::vector<ImageRecord> m_records;
    /// The path list: "Deleted" stands in for an entry whose image is gone.
    std::vector<std::string> m_names;
    int m_nSourceKind = 1;  ///< 1 folder, 0 image list
    int m_bSubfolders = 0;  ///< folder source: subfolders included
    std::string m_strSourceFolder;
    std::string m_strSourceList;
    /// "; Source: " + list path, or folder [+ " + all subfolders"]; goes into the dups log.
    std::string m_strSourceNote;
    /// What the "Get data" page shows for this slot.
    std::string m_strDisplay;

    int count() const { return static_cast<int>(m_records.size()); }
    bool hasRecords() const { return !m_records.empty(); }
    /// Appends a path; false (nothing added) when the list is full.
    bool appendPath(const std::string& path) {
        if (static_cast<int>(m_names.size()) >= kPathListCapacity) {
            return false;
        }
        m_names.push_back(path);
        return true;
    }
    /// "; Source: " and the list path, or the folder with " + all subfolders"
    /// when they are included: what m_strSourceNote is set to at a build or open.
    std::string sourceNote() const {
        if (m_nSourceKind != 1) {
            return "; Source: " + m_strSourceList;
        }
        return "; Source: " + m_strSourceFolder + (m_bSubfolders == 1 ? " + all subfolders" : "");
    }
    /// Drops records and paths; the source description stays.
    void clearData() {
        m_records.clear();
        m_names.clear();
    }
};

/// The path-list text that marks a missing, unreadable or removed image.
inline constexpr const char* kDeletedEntry = "Deleted";
