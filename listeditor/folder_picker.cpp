#include "folder_picker.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <filesystem>
#include <system_error>

#include "control_ids.h"
#include "name_mode_icon_provider.h"
#include "prompter.h"

#ifdef __linux__
#include <sys/statvfs.h>
#include <sys/vfs.h>
#endif

namespace {

#ifdef _WIN32
constexpr bool kFileSystemIgnoresCase = true;
#else
constexpr bool kFileSystemIgnoresCase = false;
#endif

enum class Medium { Fixed, Removable, Network, ReadOnly };

// The nearest POSIX meaning of the drive type: what holds the closest folder
// that exists above `path`.
Medium mediumOf(const QString& path) {
    QFileInfo info(path);
    QString existing = info.absoluteFilePath();
    while (!existing.isEmpty() && !QFileInfo::exists(existing)) {
        const QString up = QFileInfo(existing).absolutePath();
        if (up == existing) {
            break;
        }
        existing = up;
    }
    if (existing.startsWith("/media/") || existing.startsWith("/run/media/")) {
        return Medium::Removable;
    }
#ifdef __linux__
    const QByteArray native = QFile::encodeName(existing);
    struct statfs fs {};
    if (statfs(native.constData(), &fs) == 0) {
        const auto type = static_cast<unsigned long>(fs.f_type);
        if (type == 0x6969UL || type == 0xFF534D42UL || type == 0x517BUL || type == 0xFE534D42UL) {
            return Medium::Network;
        }
    }
    struct statvfs vfs {};
    if (statvfs(native.constData(), &vfs) == 0 && (vfs.f_flag & ST_RDONLY) != 0) {
        return Medium::ReadOnly;
    }
#endif
    return Medium::Fixed;
}

QString creationFailureText(const QString& path, bool fromEnter) {
    switch (mediumOf(path)) {
        case Medium::Removable:
            return "You cannot create this folder.\nThe medium may be write-protected.";
        case Medium::Network:
            return "You do not have permission to create\nthis folder on the network.";
        case Medium::ReadOnly:
            return "You cannot create this folder\nas the CD ROM medium is read-only.";
        case Medium::Fixed:
            break;
    }
    return fromEnter ? "You do not have permission or\notherwise cannot create this folder."
                     : "You do not have permission\nto create this folder.";
}

// "//" starts a network path; one without both a server and a share part is no folder.
bool isBadNetworkPath(const QString& t) {
    return t.startsWith("//") && t.mid(2).count('/') < 2;
}

}  // namespace

void FolderEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit enterPressed();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
    const QString text = event->text();
    if (!text.isEmpty() && (text.at(0).isPrint() || event->key() == Qt::Key_Backspace)) {
        emit characterTyped(event->key() == Qt::Key_Backspace);
    }
}

void FolderEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // The box keeps the caret at the end so typing goes on from the folder shown.
    if (event->reason() != Qt::MouseFocusReason) {
        deselect();
        end(false);
    }
}

FolderPicker::FolderPicker(const std::string& initialFolder, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter) {
    setWindowTitle("Select Folder");
    resize(600, 440);

    m_model = new QFileSystemModel(this);
    UseNameModeIcons(*m_model);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath(QDir::rootPath());

    m_tree = new QTreeView(this);
    m_tree->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column) {
        m_tree->hideColumn(column);
    }
    m_tree->header()->hide();
    m_tree->setRootIndex(m_model->index(QDir::rootPath()));

    auto* label = new QLabel("Folder to add:", this);
    m_edit = new FolderEdit(this);
    SetControlId(m_edit, FolderPickerId::FolderBox);
    label->setBuddy(m_edit);
    m_subfolders = new QCheckBox("Include subfolders", this);
    SetControlId(m_subfolders, FolderPickerId::IncludeSubfolders);
    m_open = new QPushButton("Open", this);
    SetControlId(m_open, FolderPickerId::Open);
    m_open->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    SetControlId(cancel, FolderPickerId::Cancel);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_tree, 0, 0, 1, 4);
    grid->addWidget(label, 1, 0);
    grid->addWidget(m_edit, 1, 1);
    grid->addWidget(m_subfolders, 1, 2);
    grid->addWidget(m_open, 1, 3);
    grid->addWidget(cancel, 2, 3);
    grid->setColumnStretch(1, 1);
    setTabOrder(m_edit, m_open);

    connect(m_open, &QPushButton::clicked, this, &FolderPicker::onOpen);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_edit, &FolderEdit::enterPressed, this, &FolderPicker::onEnter);
    connect(m_edit, &FolderEdit::characterTyped, this, &FolderPicker::onCharacter);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FolderPicker::onTreeCurrentChanged);
    // Folders load in the background; keep the folder being browsed in view as they come.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this] {
        if (m_tree->currentIndex().isValid()) {
            m_tree->scrollTo(m_tree->currentIndex(), QAbstractItemView::PositionAtCenter);
        }
    });

    const QString initial = QString::fromStdString(initialFolder);
    browseTo(!initial.isEmpty() && QFileInfo(initial).isDir() ? initial : QDir::homePath());
    m_edit->setFocus();
}

bool FolderPicker::includeSubfolders() const {
    return m_subfolders->isChecked();
}

std::optional<PickedFolder> FolderPicker::run() {
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return PickedFolder{m_accepted, includeSubfolders()};
}

void FolderPicker::browseTo(const QString& folder) {
    QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!path.endsWith('/')) {
        path += '/';
    }
    m_folderPath = path;
    m_edit->setText(path);
    m_edit->end(false);
    const QModelIndex index = m_model->index(path == "/" ? path : path.chopped(1));
    if (index.isValid() && m_tree->currentIndex() != index) {
        m_syncingTree = true;
        m_tree->setCurrentIndex(index);
        m_tree->expand(index);
        m_tree->scrollTo(index);
        m_syncingTree = false;
    }
}

void FolderPicker::onTreeCurrentChanged(const QModelIndex& current) {
    if (m_syncingTree || !current.isValid()) {
        return;
    }
    browseTo(m_model->filePath(current));
}

// A typed name counts from the folder being browsed, as the platform dialog's
// current folder would; "~" is the home folder.
QString FolderPicker::resolve(const QString& text) const {
    QString t = text;
    if (t == "~" || t.startsWith("~/")) {
        t = QDir::homePath() + t.mid(1);
    }
    if (QDir::isRelativePath(t)) {
        t = m_folderPath + t;
    }
    return QDir::cleanPath(t);
}

void FolderPicker::tell(const QString& text) {
    m_prompter.message(windowTitle().toStdString(), text.toStdString(), PromptButtons::Ok,
                       PromptIcon::None);
    m_edit->setFocus();
}

bool FolderPicker::offerToCreate(const QString& shown, const QString& absolute, bool fromEnter) {
    const PromptAnswer answer = m_prompter.message(
        windowTitle().toStdString(),
        (shown + "\nThis folder does not exist.\n\nDo you want to create it?").toStdString(),
        PromptButtons::YesNo, PromptIcon::Question);
    m_edit->setFocus();
    if (answer != PromptAnswer::Yes) {
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(absolute.toStdString()), ec);
    if (ec || !QFileInfo(absolute).isDir()) {
        tell(creationFailureText(absolute, fromEnter));
        return false;
    }
    return true;
}

void FolderPicker::onOpen() {
    QString t = m_edit->text();
    if (t == "//") {
        tell(t + "\nThis is not a valid folder.");
        return;
    }
    if (t.isEmpty()) {
        // An emptied box takes the folder being browsed.
        m_accepted = QDir::cleanPath(m_folderPath).toStdString();
        accept();
        return;
    }
    if (t == "/") {
        m_accepted = QDir::rootPath().toStdString();
        accept();
        return;
    }
    if (t.endsWith('/')) {
        t.chop(1);
    }
    const QString absolute = resolve(t);
    const QFileInfo info(absolute);
    if (!info.exists()) {
        if (isBadNetworkPath(t)) {
            tell(t + "\nThis is not a valid folder.");
            return;
        }
        if (!offerToCreate(t, absolute, false)) {
            return;
        }
    } else if (!info.isDir()) {
        tell(t + "\nThis is a file not a directory.");
        return;
    }
    m_accepted = absolute.toStdString();
    accept();
}

void FolderPicker::onEnter() {
    QString t = m_edit->text();
    if (t.endsWith('/') && t != "/") {
        t.chop(1);
    }
    if (t.isEmpty() || t == "/" || t == "//") {
        browseTo(t.isEmpty() ? m_folderPath : QString("/"));
        return;
    }
    const QString absolute = resolve(t);
    const QFileInfo info(absolute);
    if (!info.exists()) {
        if (isBadNetworkPath(t)) {
            tell(t + "\nThis is not a valid folder.");
            return;
        }
        if (!offerToCreate(t, absolute, true)) {
            return;
        }
    } else if (!info.isDir()) {
        tell(t + "\nThis is a file not a directory.");
        return;
    }
    browseTo(absolute);
}

void FolderPicker::onCharacter(bool backspace) {
    const QString t = m_edit->text();
    if (t == "/" || (t.endsWith('/') && QFileInfo(resolve(t)).isDir())) {
        browseTo(resolve(t));
        return;
    }
    if (!backspace && m_edit->cursorPosition() == t.size()) {
        completeName();
    }
}

void FolderPicker::completeName() {
    const QString typed = m_edit->text();
    const qsizetype slash = typed.lastIndexOf('/');
    const QString prefix = typed.mid(slash + 1);
    if (prefix.isEmpty()) {
        return;
    }
    const QString parent = slash < 0 ? m_folderPath : resolve(typed.left(slash + 1));
    QDir::Filters filters = QDir::Dirs | QDir::NoDotAndDotDot;
    if (prefix.startsWith('.')) {
        filters |= QDir::Hidden;
    }
    QString match;
    int matches = 0;
    const Qt::CaseSensitivity cs = kFileSystemIgnoresCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (const QString& name : QDir(parent).entryList(filters)) {
        if (name.startsWith(prefix, cs)) {
            match = name;
            if (++matches > 1) {
                return;
            }
        }
    }
    if (matches != 1) {
        return;
    }
    const QString completed = CompleteFolderName(typed, match, kFileSystemIgnoresCase);
    if (completed == typed) {
        return;
    }
    m_edit->setText(completed);
    m_edit->setSelection(static_cast<int>(typed.size()),
                         static_cast<int>(completed.size() - typed.size()));
}

QString CompleteFolderName(const QString& typed, const QString& name, bool fileSystemIgnoresCase) {
    QString n = name;
    qsizetype cut = -1;
    for (const QChar sep : {QChar('/'), QChar('\\'), QChar(':')}) {
        if (sep != '/' && !fileSystemIgnoresCase) {
            continue;  // only the separator ends a name where names may hold the others
        }
        cut = std::max(cut, typed.lastIndexOf(sep));
    }
    const qsizetype k = typed.size() - (cut + 1);
    if (k <= 0 || k > n.size()) {
        return typed;
    }
    if (fileSystemIgnoresCase) {
        if (!n.contains(' ') && n == n.toUpper()) {
            n = n.left(1) + n.mid(1).toLower();
        }
        const QChar last = typed.at(typed.size() - 1);
        if (last != n.at(k - 1)) {
            n = last.isUpper() ? n.toUpper() : n.toLower();
        }
    }
    return typed + n.mid(k);
}
