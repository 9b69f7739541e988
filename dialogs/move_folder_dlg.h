#pragma once

#include <string>

#include "setup_dialog.h"

class Prompter;
class QCheckBox;
class QLineEdit;

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
