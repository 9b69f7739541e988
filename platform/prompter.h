#pragma once
// Every question, message box and file or folder dialog goes through a Prompter,
// so the engine stays free of widgets and tests answer from a script.

#include <optional>
#include <string>
#include <vector>

enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptIcon { None, Information, Warning, Error, Question };
enum class PromptAnswer { Ok, Cancel, Yes, No };

/// A file dialog as the system describes it. `filter` keeps the classic
/// "Description|pattern;pattern|Description|pattern||" form.
struct FileDialogSpec {
    std::string title;
    std::string filter;
    std::string defaultExtension;
    std::string initialName;
    std::string initialFolder;
    bool mustExist = false;
    bool overwritePrompt = false;
};

struct FolderDialogSpec {
    std::string title;
    std::string initialFolder;
};

/// User interaction seam. Implementations: QtPrompter (real dialogs),
/// ScriptedPrompter (tests), the command-line tool's console prompter.
/// Called on the user-interface thread only.
class Prompter {
  public:
    virtual ~Prompter() = default;
    virtual PromptAnswer message(const std::string& caption, const std::string& text,
                                 PromptButtons buttons, PromptIcon icon) = 0;
    virtual std::optional<std::string> openFile(const FileDialogSpec& spec) = 0;
    virtual std::vector<std::string> openFiles(const FileDialogSpec& spec) = 0;
    virtual std::optional<std::string> saveFile(const FileDialogSpec& spec) = 0;
    virtual std::optional<std::string> chooseFolder(const FolderDialogSpec& spec) = 0;

    /// A save dialog whose answer has the default extension added when it
    /// has none, and an existing file at that final name replaced only after
    /// a Yes (No shows the dialog again). The dialog's own check would miss
    /// a file the added extension names. Nothing when the user cancels.
    std::optional<std::string> chooseSaveFile(FileDialogSpec spec);

    /// Shorthand for a plain OK box.
    void inform(const std::string& caption, const std::string& text,
                PromptIcon icon = PromptIcon::None) {
        message(caption, text, PromptButtons::Ok, icon);
    }
};
