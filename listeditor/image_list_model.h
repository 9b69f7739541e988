#pragma once

#include <QAbstractListModel>
#include <functional>
#include <string>
#include <vector>

/// The editor's list: a Qt model over one plain vector of entry texts, in the
/// order the user built. Views show it; every change goes through here so
/// views stay in step. User-interface thread only.
class ImageListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const std::vector<std::string>& entries() const { return m_entries; }
    int size() const { return static_cast<int>(m_entries.size()); }
    bool empty() const { return m_entries.empty(); }
    const std::string& at(int row) const { return m_entries.at(static_cast<std::size_t>(row)); }

    void clear();
    void append(std::string entry);
    /// Appends unless an equal entry is listed; true when appended.
    bool appendUnlessPresent(std::string entry);
    bool contains(const std::string& entry) const;
    void replace(int row, std::string entry);
    /// Removes the given rows (any order, no duplicates needed).
    void removeRowList(std::vector<int> rows);
    /// Lets `edit` change the whole vector at once (pruning, merging a file).
    void editAll(const std::function<void(std::vector<std::string>&)>& edit);

    /// Gives a folder entry at `row` the subfolder note; files and entries that
    /// already carry it stay as they are. True when the entry changed.
    bool setSubfolderNote(int row, bool withSubfolders);
    /// Moves the selected rows up one place; returns their new rows, top
    /// first, or the rows unchanged when the first row is among them.
    std::vector<int> moveUp(std::vector<int> rows) { return moveRows(std::move(rows), -1); }
    /// Moves the selected rows down one place; returns their new rows, bottom
    /// first, or the rows unchanged when the last row is among them.
    std::vector<int> moveDown(std::vector<int> rows) { return moveRows(std::move(rows), +1); }
    /// Replaces a leading "<INSTALL_FOLDER>" by `programFolder`; true when any changed.
    bool replaceInstallFolder(const std::string& programFolder);

  private:
    std::vector<int> moveRows(std::vector<int> rows, int step);
    void swapRows(int a, int b);
    std::vector<std::string> m_entries;
};
