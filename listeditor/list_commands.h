#pragma once

#include <optional>
#include <string>
#include <vector>

#include "editor_settings.h"
#include "folder_picker.h"
#include "list_document.h"

class Desktop;
class Prompter;

/// What the list commands need of the window that shows the list.
class ListEditorView {
  public:
    virtual ~ListEditorView() = default;
    /// The selected rows, top first.
    virtual std::vector<int> selectedRows() const = 0;
    /// Selects exactly `rows` and puts the caret on `caret`, in view.
    virtual void selectRows(const std::vector<int>& rows, int caret) = 0;
    virtual void clearPreview() = 0;
    /// Shows the list's name and status again and applies the enable rules.
    virtual void showFields() = 0;
    virtual void showAutoCount(bool on) = 0;
    virtual void showRecentLists() = 0;
};

enum class MoveDirection { Up, Down };

/// The list editor's commands on the list document: adding, marking,
/// reordering, checking, opening and saving lists, and the count that keeps
/// the status line. File dialogs and questions go through the prompter.
/// User-interface thread.
class ListCommands {
  public:
    ListCommands(ListDocument& document, EditorSettings& settings, Prompter& prompter,
                 Desktop& desktop, ListEditorView& view, std::string programFolder);

    /// Reads the list named on the command line.
    void openAtStart(const std::string& path);
    void newList();
    void open();
    void openRecent(int slot);
    void addImageList();
    void addFiles();
    void addFolder(const PickedFolder& picked);
    void addDropped(const std::vector<std::string>& paths);
    void setSubfolderNote(bool withSubfolders);
    void deleteSelection();
    void move(MoveDirection direction);
    void explore();
    void verify();
    /// True when the list was written.
    bool save();
    bool saveAs();
    /// Offers to save a list that would be lost; false when the user wanted
    /// it saved and it was not, so the window must stay.
    bool confirmClose();
    /// Offers to save a list that would be lost, with Cancel to keep it;
    /// false when the list must stay.
    bool mayDiscard();

    /// Counts the list and shows the result; a full count walks the folders.
    void count(bool full);
    /// Counts as auto count says.
    void recount() { count(m_settings.autoCount); }
    void setAutoCount(bool on);
    void setTypes(const ImageTypeFilter& types);
    /// The status line says whether image types are filtered out.
    void showTypeFilterState();

    /// The folder the list dialogs start in, created when missing.
    std::string defaultListFolder() const;

    const std::string& status() const { return m_status; }
    /// The last count met a file entry.
    bool hasFiles() const { return m_hasFiles; }

  private:
    void finishRead();
    bool offerToSave(bool withCancel);
    void adopt(ListFileContent content, const std::string& path);
    bool mayReplaceListFile();
    void endEdit();
    std::optional<std::string> chooseListFile(const std::string& title) const;

    ListDocument& m_doc;
    EditorSettings& m_settings;
    Prompter& m_prompter;
    Desktop& m_desktop;
    ListEditorView& m_view;
    std::string m_programFolder;
    std::string m_status;
    bool m_hasFiles = false;
    bool m_largeHintShown = false;
};
