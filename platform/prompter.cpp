#include "prompter.h"

#include <sys/stat.h>

#include "path_parts.h"

namespace {

std::string withExtension(const std::string& path, const std::string& defaultExtension) {
    std::string ext;
    for (char c : defaultExtension) {
        if (c != '*' && c != '.') {
            ext += c;
        }
    }
    const std::string name = FileNameOf(path);
    if (path.empty() || ext.empty() || ext.find(' ') != std::string::npos || name.empty() ||
        name.find('.', 1) != std::string::npos) {
        return path;
    }
    return path + "." + ext;
}

bool somethingAt(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

std::optional<std::string> Prompter::chooseSaveFile(FileDialogSpec spec) {
    const bool confirm = spec.overwritePrompt;
    spec.overwritePrompt = false;
    for (;;) {
        const std::optional<std::string> answer = saveFile(spec);
        if (!answer) {
            return std::nullopt;
        }
        const std::string path = withExtension(*answer, spec.defaultExtension);
        if (!confirm || !somethingAt(path)) {
            return path;
        }
        const std::string name = FileNameOf(path);
        if (message(spec.title, name + " already exists.\nDo you want to replace it?",
                    PromptButtons::YesNo, PromptIcon::Warning) == PromptAnswer::Yes) {
            return path;
        }
        spec.initialName = name;
        spec.initialFolder = ParentFolderOf(path);
    }
}
