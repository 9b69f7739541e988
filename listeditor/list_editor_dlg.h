#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor_settings.h"
#include "folder_picker.h"
#include "layout_engine.h"
#include "list_commands.h"
#include "list_document.h"
#include "list_editor_controls.h"

class Desktop;
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

/// The image list editor window (dialog 103): builds the controls, wires
/// them to the list commands, and keeps the preview, the settings and the
/// window placement. User-interface thread.
class CListEditorDlg : public QDialog, private ListEditorView {
    Q_OBJECT
  public:
    CListEditorDlg(KeyValueStore& store, Prompter& prompter, Desktop& desktop,
                   ListEditorOptions options = {}, QWidget* parent = nullptr);
    ~CListEditorDlg() override;

    const std::vector<std::string>& entries() const { return m_doc.entries(); }
    const std::string& listPath() const { return m_doc.path(); }
    bool named() const { return m_doc.named(); }
    bool changed() const { return m_doc.changed(); }
    const EditorSettings& settings() const { return m_settings; }
    const LayoutEngine& layoutEngine() const { return m_layout; }

  public slots:
    /// Escape, Cancel and the close box drop the list; one with unsaved work
    /// is offered for saving first. Settings are not saved.
    void reject() override;

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void connectCommands();
    void onAddFolder();
    void onOk();
    void onFilterTypes();
    void onAbout();
    void onViewThumbnail();
    void onViewFullScreen();
    void onPaneFullScreen();
    void onSelectionChanged();
    std::string entryAtCaret() const;

    // ListEditorView
    std::vector<int> selectedRows() const override;
    void selectRows(const std::vector<int>& rows, int caret) override;
    void clearPreview() override;
    void showFields() override;
    void showAutoCount(bool on) override;
    void showRecentLists() override;

    KeyValueStore& m_store;
    Prompter& m_prompter;
    Desktop& m_desktop;
    ListEditorOptions m_options;
    ListDocument m_doc;
    EditorSettings m_settings;
    QWidget* m_client = nullptr;
    ListEditorControls m_c;
    LayoutEngine m_layout;
    ThumbnailPreview* m_preview = nullptr;
    ListCommands m_commands;
};
