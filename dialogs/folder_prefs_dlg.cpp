#include "folder_prefs_dlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialog_kit.h"
#include "folder_browser.h"

namespace {
struct RowSpec {
    int editId;
    int browseId;
    const char* label;
    const char* browseTitle;
};
constexpr std::array<RowSpec, 3> kRows{{
    {FolderPrefsId::DataFolder, FolderPrefsId::BrowseData, "Dups data files",
     "Choose default folder dup data lists"},
    {FolderPrefsId::LogFolder, FolderPrefsId::BrowseLog, "Dup log files",
     "Choose default folder for dup logs"},
    {FolderPrefsId::ListFolder, FolderPrefsId::BrowseList, "Image lists",
     "Choose default folder for image lists"},
}};
}  // namespace

CFolderPrefsDlg::CFolderPrefsDlg(Prompter& prompter, QWidget* parent)
    : SetupDialog(parent), m_prompter(prompter) {
    setWindowTitle(QStringLiteral("Default folder locations"));
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* grid = new QGridLayout;
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        const RowSpec& spec = kRows[i];
        Row& row = m_rows[i];
        row.edit = MakeEdit(spec.editId, kPathEditMax);
        row.edit->setMinimumWidth(400);
        QPushButton* browse = MakeButton(spec.browseId, QStringLiteral("Browse..."));
        const int r = static_cast<int>(i) * 2;
        grid->addWidget(MakeLabel(0, QString::fromLatin1(spec.label)), r, 0);
        grid->addWidget(row.edit, r + 1, 0);
        grid->addWidget(browse, r + 1, 1);
        connect(browse, &QPushButton::clicked, this,
                [this, &row, title = spec.browseTitle] { this->browse(row, title); });
    }
    layout->addLayout(grid);
    AddDialogButtons(this, layout, false);
}

void CFolderPrefsDlg::onInitDialog() {
    m_rows[0].folder = m_strDataFolder;
    m_rows[1].folder = m_strLogFolder;
    m_rows[2].folder = m_strListFolder;
    for (Row& row : m_rows) {
        row.edit->setText(qs(row.folder));
    }
}

void CFolderPrefsDlg::browse(Row& row, const char* title) {
    CFolderBrowser browser(m_prompter, row.folder);
    browser.m_strTitle = title;
    if (browser.DoBrowse() == 1) {
        row.folder = browser.m_strChosenFolder;
        row.edit->setText(qs(row.folder));
    }
}

void CFolderPrefsDlg::accept() {
    m_strDataEdit = ss(m_rows[0].edit->text());
    m_strLogEdit = ss(m_rows[1].edit->text());
    m_strListEdit = ss(m_rows[2].edit->text());
    m_strDataFolder = m_strDataEdit;
    m_strLogFolder = m_strLogEdit;
    m_strListFolder = m_strListEdit;
    SetupDialog::accept();
}
