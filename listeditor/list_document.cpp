#include "list_document.h"

#include "list_checks.h"
#include "list_file.h"
#include "recent_lists.h"
#include "wait_cursor.h"

std::optional<ListFileContent> ReadListEntries(const std::string& path, Prompter& prompter) {
    WaitCursor wait;
    ListFileContent content;
    if (MergeListFile(path, content.entries, prompter, &content.whole) != 1) {
        return std::nullopt;
    }
    return content;
}

void ListDocument::clear() {
    m_model.clear();
    m_path.clear();
    m_name.clear();
    m_named = false;
    m_changed = false;
    m_fileReadPartly = false;
}

void ListDocument::replace(ListFileContent content, const std::string& path) {
    m_model.editAll(
        [&content](std::vector<std::string>& all) { all = std::move(content.entries); });
    nameAfter(path);
    m_fileReadPartly = !content.whole;
}

bool ListDocument::open(const std::string& path, Prompter& prompter) {
    std::optional<ListFileContent> content = ReadListEntries(path, prompter);
    if (!content) {
        return false;
    }
    replace(std::move(*content), path);
    return true;
}

bool ListDocument::merge(const std::string& path, Prompter& prompter) {
    if (!read(path, prompter)) {
        return false;
    }
    markEdited();
    return true;
}

bool ListDocument::save(Prompter& prompter) {
    if (!m_named) {
        return false;
    }
    prune();
    if (!write(m_path, prompter)) {
        return false;
    }
    m_changed = false;
    m_fileReadPartly = false;
    return true;
}

bool ListDocument::saveAs(const std::string& path, Prompter& prompter) {
    prune();
    if (!write(path, prompter)) {
        return false;
    }
    nameAfter(path);
    return true;
}

void ListDocument::prune() {
    m_model.editAll([](std::vector<std::string>& entries) { PruneRedundantEntries(entries); });
}

void ListDocument::markEdited() {
    if (m_named) {
        m_changed = true;
    }
}

bool ListDocument::read(const std::string& path, Prompter& prompter) {
    WaitCursor wait;
    int result = 0;
    m_model.editAll([&](std::vector<std::string>& entries) {
        result = MergeListFile(path, entries, prompter);
    });
    return result == 1;
}

bool ListDocument::write(const std::string& path, Prompter& prompter) {
    WaitCursor wait;
    return WriteListFile(path, m_model.entries(), prompter) == 1;
}

void ListDocument::nameAfter(const std::string& path) {
    m_path = path;
    m_name = ListTitle(path);
    m_named = true;
    m_changed = false;
    m_fileReadPartly = false;
}
