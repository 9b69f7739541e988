#include "datafile_slot.h"

#include <algorithm>

#include "path_compare.h"

bool DatafileSlot::appendPath(const std::string& path) {
    if (static_cast<int>(m_paths.size()) >= m_pathCapacity) {
        return false;
    }
    m_paths.push_back(path);
    return true;
}

void DatafileSlot::reservePaths(int count) {
    // The list never holds more than its capacity, whatever a count says.
    m_paths.reserve(static_cast<std::size_t>(std::clamp(count, 0, m_pathCapacity)));
}

void DatafileSlot::setEntries(std::vector<std::string> paths, std::vector<ImageRecord> records) {
    const std::size_t count = std::min(paths.size(), records.size());
    paths.resize(count);
    records.resize(count);
    m_paths = std::move(paths);
    m_records = std::move(records);
}

SlotEntries DatafileSlot::takeEntries() {
    SlotEntries entries{std::move(m_paths), std::move(m_records)};
    clearData();
    return entries;
}

bool DatafileSlot::markDeleted(const std::string& path, std::vector<MarkedRecord>* changed) {
    bool marked = false;
    const std::size_t count = std::min(m_paths.size(), m_records.size());
    for (std::size_t k = 0; k < count; ++k) {
        if (SamePath(m_paths[k], path)) {
            if (changed != nullptr && m_records[k].nWidth != 0) {
                changed->push_back({k, m_records[k].nWidth});
            }
            m_records[k].nWidth = 0;
            marked = true;
        }
    }
    return marked;
}

bool DatafileSlot::unmarkDeleted(std::size_t index, const std::string& path, std::uint16_t width) {
    if (index >= m_records.size() || index >= m_paths.size() || m_records[index].nWidth != 0 ||
        !SamePath(m_paths[index], path)) {
        return false;
    }
    m_records[index].nWidth = width;
    return true;
}

void DatafileSlot::clearData() {
    m_records.clear();
    m_paths.clear();
}

DatafileSlot DatafileSlot::sourceOnly() const {
    DatafileSlot source;
    source.m_nSourceKind = m_nSourceKind;
    source.m_bSubfolders = m_bSubfolders;
    source.m_strSourceFolder = m_strSourceFolder;
    source.m_strSourceList = m_strSourceList;
    source.m_strSourceNote = m_strSourceNote;
    source.m_pathCapacity = m_pathCapacity;
    return source;
}

std::string DatafileSlot::sourceNote() const {
    if (m_nSourceKind != 1) {
        return "; Source: " + m_strSourceList;
    }
    return "; Source: " + m_strSourceFolder + (m_bSubfolders == 1 ? " + all subfolders" : "");
}
