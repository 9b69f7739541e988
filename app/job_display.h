#pragma once
// The window's side of a running job: the progress bar, the abort button, the
// job lines at the right and the percentage in the minimised caption.
// User-interface thread.

class CMainDlg;
class QString;

/// The job line that shows "Total:  " + total: 1051 for builds, 1056 for find runs.
enum class JobTotalLine { Status4, Status7 };

/// Prepares the window for a job of `total` units: "Find dups" and the mode
/// buttons disabled, the abort button and the progress bar shown.
void ProgressInit(CMainDlg& dlg, int total, JobTotalLine line);

/// Moves the progress bar to `progress` of `total`; while the window is
/// minimised its caption shows the percentage + "% Analyzed".
void ShowJobProgress(CMainDlg& dlg, int progress, int total);

/// Hides the progress bar (at 0) and the abort button and puts the caption back.
void ResetJobDisplay(CMainDlg& dlg);

/// "Total:  " + total.
QString JobTotalText(int total);
