#include "build_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app_paths.h"
#include "control_ids.h"
#include "desktop.h"
#include "dialog_kit.h"
#include "folder_browser.h"
#include "prompter.h"

namespace {
bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

// The folder part of a path, up to and including its last separator.
std::string folderOf(const std::string& path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (isSeparator(path[i - 1])) {
            return path.substr(0, i);
        }
    }
    return {};
}
}  // namespace

CBuildDlg::CBuildDlg(Prompter& prompter, Desktop& desktop, FolderCounter countFolder,
                     ListCounter countList, QWidget* parent)
    : SetupDialog(parent),
      m_prompter(prompter),
      m_desktop(desktop),
      m_countFolder(std::move(countFolder)),
      m_countList(std::move(countList)) {
    setWindowTitle(QStringLiteral("Build images data file"));
    buildLayout();
}

void CBuildDlg::buildLayout() {
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_kind = new QComboBox;
    SetControlId(m_kind, BuildDlgId::Kind);
    m_kind->addItem(QString::fromLatin1(kFolderLabel));
    m_kind->addItem(QString::fromLatin1(kListLabel));
    layout->addWidget(m_kind);

    m_folderGroup = new QGroupBox(QString::fromLatin1(kFolderLabel));
    SetControlId(m_folderGroup, BuildDlgId::FolderGroup);
    auto* folderBox = new QVBoxLayout(m_folderGroup);
    auto* folderRow = new QHBoxLayout;
    m_folder = MakeEdit(BuildDlgId::Folder, kPathEditMax);
    m_folder->setMinimumWidth(380);
    m_browseFolder = MakeButton(BuildDlgId::BrowseFolder, QStringLiteral("Browse..."));
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(m_browseFolder);
    folderBox->addLayout(folderRow);
    m_subfolders = MakeCheck(BuildDlgId::Subfolders,
                             QStringLiteral("Include all subfolders (recursive search)"));
    folderBox->addWidget(m_subfolders);
    layout->addWidget(m_folderGroup);

    m_listGroup = new QGroupBox(QString::fromLatin1(kListLabel));
    SetControlId(m_listGroup, BuildDlgId::ListGroup);
    auto* listRow = new QHBoxLayout(m_listGroup);
    m_list = MakeEdit(BuildDlgId::List, kPathEditMax);
    m_list->setMinimumWidth(380);
    m_browseList = MakeButton(BuildDlgId::BrowseList, QStringLiteral("Browse..."));
    m_editList = MakeButton(BuildDlgId::EditList, QStringLiteral("Edit..."));
    listRow->addWidget(m_list, 1);
    listRow->addWidget(m_browseList);
    listRow->addWidget(m_editList);
    layout->addWidget(m_listGroup);

    m_quick = MakeCheck(BuildDlgId::QuickCount, QStringLiteral("Quick count of files"));
    layout->addWidget(m_quick);
    m_countLine = MakeLabel(BuildDlgId::CountLine, QString());
    m_countLine->setMinimumHeight(m_countLine->fontMetrics().height() + 4);
    layout->addWidget(m_countLine);

    QPushButton* help = AddDialogButtons(this, layout, true);
    connect(help, &QPushButton::clicked, this, [this] { m_desktop.openHelp("builddata.html"); });

    connect(m_kind, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_writing) {
            chooseSourceKind();
        }
    });
    const auto edited = [this] {
        if (!m_writing) {
            recount(m_quick->isChecked());
        }
    };
    connect(m_folder, &QLineEdit::textChanged, this, edited);
    connect(m_list, &QLineEdit::textChanged, this, edited);
    connect(m_subfolders, &QCheckBox::clicked, this, edited);
    // Ticking the quick count keeps the line; clearing it counts in full.
    connect(m_quick, &QCheckBox::clicked, this, [this](bool checked) {
        if (!checked) {
            recount(false);
        }
    });
    connect(m_browseFolder, &QPushButton::clicked, this, [this] { browseFolder(); });
    connect(m_browseList, &QPushButton::clicked, this, [this] { browseList(); });
    connect(m_editList, &QPushButton::clicked, this, [this] { startListEditor(); });
}

void CBuildDlg::onInitDialog() {
    m_writing = true;
    m_kind->setCurrentIndex(m_nSourceKind == 1 ? 0 : 1);
    m_subfolders->setChecked(m_bSubfolders != 0);
    m_quick->setChecked(m_bQuickCount != 0);
    m_folder->setText(qs(m_strFolder));
    m_list->setText(qs(m_strListFile));
    m_writing = false;
    showSourceControls(sourceKind());
    m_countLine->setText(m_kind->currentText());
    recount(m_quick->isChecked());
}

int CBuildDlg::sourceKind() const {
    return m_kind->currentText() == QLatin1String(kFolderLabel) ? 1 : 0;
}

void CBuildDlg::chooseSourceKind() {
    showSourceControls(sourceKind());
    m_countLine->setText(m_kind->currentText());
    recount(m_quick->isChecked());
}

void CBuildDlg::showSourceControls(int kind) {
    const bool folder = kind == 1;
    for (QWidget* w : {static_cast<QWidget*>(m_folderGroup), static_cast<QWidget*>(m_browseFolder),
                       static_cast<QWidget*>(m_folder), static_cast<QWidget*>(m_subfolders)}) {
        w->setVisible(folder);
    }
    for (QWidget* w : {static_cast<QWidget*>(m_listGroup), static_cast<QWidget*>(m_browseList),
                       static_cast<QWidget*>(m_editList), static_cast<QWidget*>(m_list)}) {
        w->setVisible(!folder);
    }
}

void CBuildDlg::recount(bool quick) {
    const bool folder = sourceKind() == 1;
    const bool subfolders = m_subfolders->isChecked();
    std::function<int()> count;
    if (folder) {
        count = [counter = m_countFolder, path = ss(m_folder->text()), subfolders, quick] {
            return counter(path, subfolders, quick);
        };
    } else {
        count = [counter = m_countList, path = ss(m_list->text()), quick] {
            return counter(path, quick);
        };
    }
    auto show = [this, folder, subfolders, quick](int n) {
        std::string line = "Total image files = ";
        line += quick && n > 999 ? std::string("1000 +") : std::to_string(n);
        line += " : ";
        line += folder ? kFolderLabel : kListLabel;
        if (folder && subfolders) {
            line += "(s)";  // the label ends in "folder": "folder(s)"
        }
        m_countLine->setText(qs(line));
    };
    if (m_countRunner) {
        m_countRunner(std::move(count), std::move(show));
    } else {
        show(count());
    }
}

void CBuildDlg::setEditText(QLineEdit* edit, const std::string& text) {
    m_writing = true;
    edit->setText(qs(text));
    m_writing = false;
}

void CBuildDlg::browseFolder() {
    std::string start = ss(m_folder->text());
    if (start.size() > 1 && isSeparator(start.back())) {
        start.pop_back();
    }
    if (start.empty()) {
        start = m_strBrowseStart;
    }
    CFolderBrowser browser(m_prompter, start);
    browser.m_strTitle = "Choose image folder for input.";
    if (browser.DoBrowse() != 1) {
        return;
    }
    setEditText(m_folder, browser.m_strChosenFolder);
    m_writing = true;
    m_kind->setCurrentIndex(0);
    m_writing = false;
    showSourceControls(1);
    recount(m_quick->isChecked());
}

void CBuildDlg::browseList() {
    const std::string current = ss(m_list->text());
    FileDialogSpec spec;
    spec.title = "Open (Batch input image list file)";
    spec.filter = "image list (*.lst)|*.lst|All files (*.*)|*.*||";
    spec.defaultExtension = "lst";
    spec.mustExist = true;
    spec.overwritePrompt = true;
    if (!current.empty()) {
        spec.initialName = current;
        spec.initialFolder = folderOf(current);
    } else {
        spec.initialName = "*.lst";
        spec.initialFolder = m_strListFolder;
    }
    const std::optional<std::string> chosen = m_prompter.openFile(spec);
    if (!chosen) {
        return;
    }
    setEditText(m_list, *chosen);
    m_writing = true;
    m_kind->setCurrentIndex(1);
    m_writing = false;
    showSourceControls(0);
    recount(m_quick->isChecked());
}

void CBuildDlg::startListEditor() {
    const std::string list = ss(m_list->text());
    std::vector<std::string> args;
    if (!list.empty()) {
        args.push_back(list);
    }
    // Nothing is reported when the editor does not start.
    m_desktop.startProcess(ss(OrvexExecutable()), args);
}

void CBuildDlg::accept() {
    m_nSourceKind = sourceKind();
    m_strFolder = ss(m_folder->text());
    m_bSubfolders = m_subfolders->isChecked() ? 1 : 0;
    m_strListFile = ss(m_list->text());
    m_bQuickCount = m_quick->isChecked() ? 1 : 0;
    m_strCountLine = ss(m_countLine->text());
    SetupDialog::accept();
}
