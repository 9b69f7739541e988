#pragma once

#include <functional>
#include <string>

#include "setup_dialog.h"

class Desktop;
class Prompter;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

/// Control ids of "Build images data file".
namespace BuildDlgId {
enum : int {
    Kind = 1002,
    FolderGroup = 1004,
    ListGroup = 1005,
    BrowseFolder = 1006,
    Folder = 1007,
    BrowseList = 1008,
    EditList = 1009,
    List = 1010,
    CountLine = 1025,
    Subfolders = 1039,
    QuickCount = 1099,
};
}  // namespace BuildDlgId

/// "Build images data file": chooses the source of a data file slot, a folder
/// (optionally with all subfolders) or an image list, and keeps a count line
/// of the image files the source holds up to date while the user edits.
class CBuildDlg : public SetupDialog {
  public:
    /// Counts the images of a folder; quick stops counting past 999.
    using FolderCounter =
        std::function<int(const std::string& folder, bool subfolders, bool quick)>;
    /// Counts the images an image list names; quick stops counting past 999.
    using ListCounter = std::function<int(const std::string& listPath, bool quick)>;

    /// Runs `count` away from the dialog and calls `show` with its result
    /// later on the dialog's thread, or never when a newer count replaced it.
    using CountRunner =
        std::function<void(std::function<int()> count, std::function<void(int)> show)>;

    CBuildDlg(Prompter& prompter, Desktop& desktop, FolderCounter countFolder,
              ListCounter countList, QWidget* parent = nullptr);

    /// Counts through `runner` instead of on every edit in the dialog's own
    /// thread, so a large tree does not freeze the dialog.
    void setCountRunner(CountRunner runner) { m_countRunner = std::move(runner); }

    // In and out (out on OK).
    int m_nSourceKind = 1;  ///< 1 folder, 0 image list
    std::string m_strFolder;
    int m_bSubfolders = 0;
    std::string m_strListFile;
    int m_bQuickCount = 0;
    /// In: where the folder browser starts when the folder field is empty.
    std::string m_strBrowseStart;
    /// In: where the list's open dialog starts when the list field is empty.
    std::string m_strListFolder;
    /// Out: the count line as last shown.
    std::string m_strCountLine;

    static constexpr const char* kFolderLabel = "Read image files from folder";
    static constexpr const char* kListLabel = "Read image files from image list";

  protected:
    void onInitDialog() override;
    void accept() override;

  private:
    void buildLayout();
    int sourceKind() const;
    void chooseSourceKind();
    void showSourceControls(int kind);
    void recount(bool quick);
    void browseFolder();
    void browseList();
    void startListEditor();
    void setEditText(QLineEdit* edit, const std::string& text);

    Prompter& m_prompter;
    Desktop& m_desktop;
    FolderCounter m_countFolder;
    ListCounter m_countList;
    CountRunner m_countRunner;
    bool m_writing = false;  // controls being filled by the dialog itself

    QComboBox* m_kind = nullptr;
    QGroupBox* m_folderGroup = nullptr;
    QGroupBox* m_listGroup = nullptr;
    QLineEdit* m_folder = nullptr;
    QCheckBox* m_subfolders = nullptr;
    QPushButton* m_browseFolder = nullptr;
    QLineEdit* m_list = nullptr;
    QPushButton* m_browseList = nullptr;
    QPushButton* m_editList = nullptr;
    QCheckBox* m_quick = nullptr;
    QLabel* m_countLine = nullptr;
};
