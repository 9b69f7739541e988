#pragma once

#include <optional>
#include <string>
#include <vector>

#include "image_list_model.h"

class Prompter;

/// An image list file as it was read.
struct ListFileContent {
    std::vector<std::string> entries;
    /// The file ended at its "END" line. One that ran out first may have lost
    /// a line, or may be no list at all.
    bool whole = true;
};

/// The image list file at `path`, or nothing when the file was refused (the
/// reader has told the user why). User-interface thread.
std::optional<ListFileContent> ReadListEntries(const std::string& path, Prompter& prompter);

/// The image list being edited: its entries (a model the views show), the
/// file it was last opened from or saved to, its name, and whether it changed
/// since. Lists are read and written with the list file reader and writer,
/// which tell the user what went wrong. User-interface thread.
class ListDocument {
  public:
    ImageListModel& model() { return m_model; }
    const ImageListModel& model() const { return m_model; }
    const std::vector<std::string>& entries() const { return m_model.entries(); }

    /// The file of a named list; empty for a new one.
    const std::string& path() const { return m_path; }
    /// The file's name without its extension; empty for a new list.
    const std::string& name() const { return m_name; }
    /// The list was opened or saved.
    bool named() const { return m_named; }
    /// A named list was edited since it was opened or saved. Edits of a new
    /// list leave this false.
    bool changed() const { return m_changed; }
    /// The list's file ran out before its "END" line when it was read, so it
    /// may hold lines the list lacks. Saving the list to it clears this.
    bool fileReadPartly() const { return m_fileReadPartly; }

    /// Empties the list and forgets its file.
    void clear();
    /// Replaces the list by `content`, read from the list file at `path`: the
    /// list is named after the file and unchanged.
    void replace(ListFileContent content, const std::string& path);
    /// Replaces the list by the list file at `path`. A refused file leaves
    /// the list as it was.
    bool open(const std::string& path, Prompter& prompter);
    /// Adds the entries of the list file at `path` that the list lacks; a
    /// list read into a named one changes it.
    bool merge(const std::string& path, Prompter& prompter);
    /// Prunes the list and writes it to its own file; once written, it is
    /// unchanged. False for a new list or a failed write (nothing changes then).
    bool save(Prompter& prompter);
    /// Prunes the list and writes it to `path`; once written, it is named
    /// after that file and unchanged.
    bool saveAs(const std::string& path, Prompter& prompter);
    /// Drops the entries that others cover (see PruneRedundantEntries).
    void prune();
    /// Notes an edit of the entries: a named list is changed from now on.
    void markEdited();

  private:
    bool read(const std::string& path, Prompter& prompter);
    bool write(const std::string& path, Prompter& prompter);
    void nameAfter(const std::string& path);

    ImageListModel m_model;
    std::string m_path;
    std::string m_name;
    bool m_named = false;
    bool m_changed = false;
    bool m_fileReadPartly = false;
};
