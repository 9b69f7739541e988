#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor_settings.h"
#include "folder_picker.h"
#include "layout_engine.h"
#include "list_editor_controls.h"

class Desktop;
class ImageListModel;
class KeyValueStore;
class Prompter;
class ThumbnailPreview;

/// What the list editor window needs from outside; tests replace the folders
/// and the folder picker.
struct ListEditorOptions {
    /// The list named on the command line; empty for none.
    std::string commandLineList;
    /// Folder that "<INSTALL_FOLDER>" stands for; empty for the program's own.
    std::string programFolder;
    /// The picture the preview shows until an image is asked for; empty for the shipped one.
    QString instructionPicture;
    /// Runs the folder picker (initial folder, title); empty for the real one.
    std::function<std::optional<PickedFolder>(const std::string&, const std::string&)> pickFolder;
};

/// The image list editor window (dialog 103): the list of files and folders,
/// the commands that build, check and save it, the preview and the settings.
/// User-interface thread.
class CListEditorDlg : public QDialog {
    Q_OBJECT
  public:
    CListEditorDlg(KeyValueStore& store, Prompter& prompter, Desktop& desktop,
                   ListEditorOptions options = {}, QWidget* parent = nullptr);
    ~CListEditorDlg() override;

    const std::vector<std::string>& entries() const;
    const std::string& listPath() const { return m_strListPath; }
    bool named() const { return m_bNamed != 0; }
    bool changed() const { return m_bChanged != 0; }
    const EditorSettings& settings() const { return m_settings; }
    const LayoutEngine& layoutEngine() const { return m_layout; }

  public slots:
    void reject() override;

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void connectCommands();

    // List commands
    void onNew();
    void onOpen();
    void onAddImageList();
    void onAddFiles();
    void onAddFolder();
    void onSubfolderNote(bool withSubfolders);
    void onDeleteSelection();
    void onUp();
    void onDown();
    void onExplore();
    void onVerify();
    bool onSave();
    bool onSaveAs();
    void onOk();
    void onRecent(int slot);
    void onAutoCount();
    void onFilterTypes();
    void onAbout();
    void addDroppedPaths(const std::vector<std::string>& paths);

    // Preview
    void onViewThumbnail();
    void onViewFullScreen();
    void onPaneFullScreen();
    void onSelectionChanged();

    // Model helpers
    bool readList(const std::string& path);
    bool writeList(const std::string& path);
    void pruneList();
    void endEdit();
    void count(bool full);
    void recount() { count(m_settings.autoCount); }
    void pushFields();
    void updateRecentMenu();
    void setAutoCount(bool on);
    void selectOnly(int row);
    std::vector<int> selectedRows() const;
    std::string defaultListFolder() const;
    std::string entryAtCaret() const;

    KeyValueStore& m_store;
    Prompter& m_prompter;
    Desktop& m_desktop;
    ListEditorOptions m_options;
    ImageListModel* m_model = nullptr;
    QWidget* m_client = nullptr;
    ListEditorControls m_c;
    LayoutEngine m_layout;
    ThumbnailPreview* m_preview = nullptr;
    EditorSettings m_settings;

    std::string m_strListPath;
    std::string m_strListName;
    std::string m_strStatus;
    std::string m_strProgramFolder;
    int m_bNamed = 0;
    int m_bChanged = 0;
    int m_bHasFiles = 0;
    int m_bLargeHintShown = 0;
};
