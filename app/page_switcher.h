#pragma once
// The main window's pages as the command classes see them.

#include "main_texts.h"

/// Which page shows, and the two heights of "View dups". User-interface thread.
class PageSwitcher {
  public:
    virtual ~PageSwitcher() = default;
    virtual MainPage currentPage() const = 0;
    /// Shows `page` as the program, not the user, chose it; `byUser` makes
    /// "View dups" read or show its pairs as a tab click does.
    virtual void selectPage(MainPage page, bool byUser = false) = 0;
    /// "View dups" with the viewer below the log view (tall), or the log view
    /// alone in the compact height when a log has no pairs (short).
    virtual void showViewLayout(bool tall) = 0;
};
