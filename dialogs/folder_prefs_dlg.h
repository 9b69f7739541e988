#pragma once

#include <array>
#include <string>

#include "setup_dialog.h"

class Prompter;
class QLineEdit;

/// Control ids of "Default folder locations".
namespace FolderPrefsId {
enum : int {
    DataFolder = 1107,
    BrowseData = 1108,
    LogFolder = 1109,
    ListFolder = 1110,
    BrowseLog = 1111,
    BrowseList = 1112,
};
}  // namespace FolderPrefsId

/// "Default folder locations": where data files, dups logs and image lists are
/// kept. The caller stores the three folders as soon as the dialog ends with
/// OK.
class CFolderPrefsDlg : public SetupDialog {
  public:
    explicit CFolderPrefsDlg(Prompter& prompter, QWidget* parent = nullptr);

    // In and out (out on OK): the three folders.
    std::string m_strDataFolder;
    std::string m_strLogFolder;
    std::string m_strListFolder;
    // Out: the edit texts, equal to the folders after OK.
    std::string m_strDataEdit;
    std::string m_strLogEdit;
    std::string m_strListEdit;

  protected:
    void onInitDialog() override;
    void accept() override;

  private:
    struct Row {
        QLineEdit* edit = nullptr;
        std::string folder;  // changes by browsing only, not by typing
    };
    void browse(Row& row, const char* title);

    Prompter& m_prompter;
    std::array<Row, 3> m_rows;  // data, logs, lists
};
