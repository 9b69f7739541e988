#pragma once

#include <string>

#include "setup_dialog.h"

class Prompter;
class QCheckBox;
class QLineEdit;

/// Control ids of the 'Move to' folder setup.
namespace MoveFolderId {
enum : int {
    MoveOnly = 1104,
    LeftFolder = 1107,
    BrowseLeft = 1108,
    RightFolder = 1109,
    BrowseRight = 1110,
    CopyPath = 1112,
};
}  // namespace MoveFolderId

/// "Specify the 'Move to' folder (instead of delete)": the folders left and
/// right images are moved into, and whether the Delete buttons move.
class CMoveFolderDlg : public SetupDialog {
  public:
    explicit CMoveFolderDlg(Prompter& prompter, QWidget* parent = nullptr);

    // In and out (out on OK).
    int m_bMoveOnly = 0;
    std::string m_strLeftFolder;
    std::string m_strRightFolder;

  protected:
    void onInitDialog() override;
    void accept() override;

  private:
    void browse(QLineEdit* edit);

    Prompter& m_prompter;
    QCheckBox* m_moveOnly = nullptr;
    QLineEdit* m_left = nullptr;
    QLineEdit* m_right = nullptr;
};
