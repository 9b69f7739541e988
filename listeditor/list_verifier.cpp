#include "list_verifier.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "image_list_model.h"
#include "list_entry.h"
#include "prompter.h"

VerifyResult VerifyList(ImageListModel& model, Prompter& prompter,
                        const std::function<void(int)>& showEntry) {
    int notFound = 0;
    int deleted = 0;
    bool asking = true;
    bool deleteAll = false;
    for (int row = model.size() - 1; row >= 0; --row) {
        const std::string entry = model.at(row);
        std::string path = ParseListEntry(entry).path;
        if (path.size() > 1 && path.back() == kPathSeparator) {
            path.pop_back();
        }
        std::error_code ec;
        if (std::filesystem::exists(std::filesystem::path(path), ec)) {
            continue;
        }
        ++notFound;
        bool remove = deleteAll;
        if (asking) {
            showEntry(row);
            const PromptAnswer answer = prompter.message(
                "Delete references not found",
                entry + ": not found.\n" +
                    "Yes = delete references to all files or folders not found.\nNo = delete "
                    "this reference only\nCancel = delete nothing",
                PromptButtons::YesNoCancel, PromptIcon::Information);
            if (answer == PromptAnswer::Yes) {
                asking = false;
                deleteAll = true;
                remove = true;
            } else if (answer == PromptAnswer::No) {
                remove = true;
            } else {
                asking = false;
            }
        }
        if (remove) {
            model.removeRowList({row});
            ++deleted;
        }
    }
    if (notFound == 0) {
        prompter.message("Files verified", "All files found", PromptButtons::Ok,
                         PromptIcon::Warning);
    } else {
        prompter.message("Files not found",
                         "Number of files not found: " + std::to_string(notFound) +
                             "\nNumber of references deleted: " + std::to_string(deleted),
                         PromptButtons::Ok, PromptIcon::Warning);
    }
    return {notFound, deleted};
}
