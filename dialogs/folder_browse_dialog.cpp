#include "folder_browse_dialog.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "control_ids.h"
#include "dialog_kit.h"
#include "name_mode_icon_provider.h"
#include "status_line.h"

FolderBrowseDialog::FolderBrowseDialog(const QString& title, const QString& initialFolder,
                                       QWidget* parent)
    : QDialog(parent),
      m_model(new QFileSystemModel(this)),
      m_tree(new QTreeView),
      m_status(new QLabel),
      m_path(new QLineEdit) {
    setWindowTitle(QStringLiteral("Browse for Folder"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    auto* titleLabel = new QLabel(title);
    titleLabel->setWordWrap(true);
    layout->addWidget(titleLabel);
    m_status->setObjectName(QStringLiteral("statusLine"));
    layout->addWidget(m_status);

    UseNameModeIcons(*m_model);
    m_model->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    m_model->setRootPath(QDir::rootPath());
    m_tree->setObjectName(QStringLiteral("folderTree"));
    m_tree->setModel(m_model);
    m_tree->setHeaderHidden(true);
    for (int c = 1; c < m_model->columnCount(); ++c) {
        m_tree->hideColumn(c);
    }
    m_tree->setMinimumSize(380, 400);
    layout->addWidget(m_tree, 1);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(new QLabel(QStringLiteral("Folder:")));
    m_path->setObjectName(QStringLiteral("folderPath"));
    pathRow->addWidget(m_path, 1);
    layout->addLayout(pathRow);

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    m_ok = MakeButton(kIdOk, QStringLiteral("OK"));
    m_ok->setDefault(true);
    QPushButton* cancel = MakeButton(kIdCancel, QStringLiteral("Cancel"));
    row->addWidget(m_ok);
    row->addWidget(cancel);
    layout->addLayout(row);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { selectionChanged(); });
    connect(m_path, &QLineEdit::textEdited, this, [this](const QString& text) { pathTyped(text); });
    // Folders are listed and sorted in the background, which moves the rows:
    // keep the initial folder in view until the user picks another one.
    const auto keepInView = [this] {
        if (m_followInitial && m_tree->currentIndex().isValid()) {
            m_tree->scrollTo(m_tree->currentIndex(), QAbstractItemView::PositionAtCenter);
        }
    };
    connect(m_model, &QFileSystemModel::directoryLoaded, this, keepInView, Qt::QueuedConnection);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, keepInView, Qt::QueuedConnection);

    m_ok->setEnabled(false);
    // A collapsed root gives no hint where to look: start at the user's home.
    if (initialFolder.isEmpty()) {
        selectFolder(QDir::homePath());
    } else if (!selectFolder(initialFolder)) {
        m_status->setText(qs(ShortenForStatusLine(ss(initialFolder))));
        m_path->setText(initialFolder);
    }
}

bool FolderBrowseDialog::selectFolder(const QString& folder) {
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        return false;
    }
    const QModelIndex index = m_model->index(QDir::cleanPath(folder));
    if (!index.isValid()) {
        return false;
    }
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index, QAbstractItemView::PositionAtCenter);
    m_followInitial = true;
    m_initial = index;
    return true;
}

void FolderBrowseDialog::selectionChanged() {
    const QModelIndex index = m_tree->currentIndex();
    if (index != m_initial) {
        m_followInitial = false;
    }
    m_chosen = index.isValid() ? m_model->filePath(index) : QString();
    m_ok->setEnabled(!m_chosen.isEmpty());
    m_status->setText(qs(ShortenForStatusLine(ss(m_chosen))));
    if (!m_typing) {
        m_path->setText(m_chosen);
    }
}

// The tree follows a typed folder; the field keeps what was typed.
void FolderBrowseDialog::pathTyped(const QString& text) {
    m_typing = true;
    const QString folder = QDir::cleanPath(text.trimmed());
    const bool found = QDir::isAbsolutePath(folder) && selectFolder(folder);
    m_typing = false;
    m_chosen = found ? folder : QString();
    m_ok->setEnabled(found);
    m_status->setText(qs(ShortenForStatusLine(ss(found ? folder : text))));
}
