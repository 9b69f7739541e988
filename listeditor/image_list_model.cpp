#include "image_list_model.h"

#include <algorithm>
#include <string_view>

#include "list_entry.h"

namespace {
constexpr std::string_view kInstallFolderToken = "<INSTALL_FOLDER>";
}

int ImageListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : size();
}

QVariant ImageListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= size()) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return QString::fromStdString(at(index.row()));
    }
    return {};
}

Qt::ItemFlags ImageListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void ImageListModel::clear() {
    editAll([](std::vector<std::string>& v) { v.clear(); });
}

void ImageListModel::append(std::string entry) {
    beginInsertRows({}, size(), size());
    m_entries.push_back(std::move(entry));
    endInsertRows();
}

bool ImageListModel::contains(const std::string& entry) const {
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [&](const std::string& e) { return SameEntry(e, entry); });
}

bool ImageListModel::appendUnlessPresent(std::string entry) {
    if (contains(entry)) {
        return false;
    }
    append(std::move(entry));
    return true;
}

void ImageListModel::replace(int row, std::string entry) {
    m_entries.at(static_cast<std::size_t>(row)) = std::move(entry);
    const QModelIndex i = index(row);
    emit dataChanged(i, i);
}

void ImageListModel::removeRowList(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        if (*it < 0 || *it >= size()) {
            continue;
        }
        beginRemoveRows({}, *it, *it);
        m_entries.erase(m_entries.begin() + *it);
        endRemoveRows();
    }
}

void ImageListModel::editAll(const std::function<void(std::vector<std::string>&)>& edit) {
    beginResetModel();
    edit(m_entries);
    endResetModel();
}

bool ImageListModel::setSubfolderNote(int row, bool withSubfolders) {
    std::string text = at(row);
    StripSuffix(text, withSubfolders ? kNoSubfoldersNote : kIncludeSubfoldersNote);
    TrimTrailingBlanks(text);
    if (text.empty() || text.back() != kPathSeparator) {
        return false;
    }
    text += withSubfolders ? kIncludeSubfoldersNote : kNoSubfoldersNote;
    if (text == at(row)) {
        return false;
    }
    replace(row, std::move(text));
    return true;
}

void ImageListModel::swapRows(int a, int b) {
    std::swap(m_entries.at(static_cast<std::size_t>(a)), m_entries.at(static_cast<std::size_t>(b)));
    emit dataChanged(index(std::min(a, b)), index(std::max(a, b)));
}

// Rows nearest the edge they move towards go first, so each swap moves a
// selected row past an unselected one.
std::vector<int> ImageListModel::moveRows(std::vector<int> rows, int step) {
    if (step < 0) {
        std::sort(rows.begin(), rows.end());
    } else {
        std::sort(rows.begin(), rows.end(), std::greater<>());
    }
    if (size() <= 1 || rows.empty() || rows.front() + step < 0 || rows.front() + step >= size()) {
        return rows;
    }
    for (int& row : rows) {
        swapRows(row, row + step);
        row += step;
    }
    return rows;
}

bool ImageListModel::replaceInstallFolder(const std::string& programFolder) {
    bool any = false;
    for (int row = 0; row < size(); ++row) {
        if (at(row).find(kInstallFolderToken) != std::string::npos) {
            // The token stands at the start of such entries.
            std::string entry = at(row).size() > kInstallFolderToken.size()
                                    ? at(row).substr(kInstallFolderToken.size())
                                    : std::string();
            replace(row, programFolder + entry);
            any = true;
        }
    }
    return any;
}
