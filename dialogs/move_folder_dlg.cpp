#include "move_folder_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialog_kit.h"
#include "folder_browser.h"

CMoveFolderDlg::CMoveFolderDlg(Prompter& prompter, QWidget* parent)
    : SetupDialog(parent), m_prompter(prompter) {
    setWindowTitle(QStringLiteral("Specify the 'Move to' folder (instead of delete)"));
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_moveOnly =
        MakeCheck(MoveFolderId::MoveOnly, QStringLiteral("'Move' controls only, no 'Delete'"));
    layout->addWidget(m_moveOnly);

    auto* grid = new QGridLayout;
    m_left = MakeEdit(MoveFolderId::LeftFolder, kPathEditMax);
    m_right = MakeEdit(MoveFolderId::RightFolder, kPathEditMax);
    m_left->setMinimumWidth(400);
    QPushButton* browseLeft = MakeButton(MoveFolderId::BrowseLeft, QStringLiteral("Browse..."));
    QPushButton* browseRight = MakeButton(MoveFolderId::BrowseRight, QStringLiteral("Browse..."));
    QPushButton* copy = MakeButton(MoveFolderId::CopyPath, QStringLiteral("Copy above path"));
    grid->addWidget(
        MakeLabel(0, QStringLiteral("Folder to move left displayed image files on 'Move'")), 0, 0);
    grid->addWidget(m_left, 1, 0);
    grid->addWidget(browseLeft, 1, 1);
    grid->addWidget(
        MakeLabel(0, QStringLiteral("Folder to move right displayed image files on 'Move'")), 2, 0);
    grid->addWidget(m_right, 3, 0);
    grid->addWidget(browseRight, 3, 1);
    grid->addWidget(copy, 4, 1);
    layout->addLayout(grid);
    AddDialogButtons(this, layout, false);

    connect(browseLeft, &QPushButton::clicked, this, [this] { browse(m_left); });
    connect(browseRight, &QPushButton::clicked, this, [this] { browse(m_right); });
    connect(copy, &QPushButton::clicked, this, [this] { m_right->setText(m_left->text()); });
}

void CMoveFolderDlg::onInitDialog() {
    m_moveOnly->setChecked(m_bMoveOnly != 0);
    m_left->setText(qs(m_strLeftFolder));
    m_right->setText(qs(m_strRightFolder));
}

void CMoveFolderDlg::browse(QLineEdit* edit) {
    CFolderBrowser browser(m_prompter, ss(edit->text()));
    browser.m_strTitle = "Choose image folder for 'Move'";
    if (browser.DoBrowse() == 1) {
        edit->setText(qs(browser.m_strChosenFolder));
    }
}

void CMoveFolderDlg::accept() {
    m_bMoveOnly = m_moveOnly->isChecked() ? 1 : 0;
    m_strLeftFolder = ss(m_left->text());
    m_strRightFolder = ss(m_right->text());
    SetupDialog::accept();
}
