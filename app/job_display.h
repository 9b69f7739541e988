#pragma once
// The window's side of a running job: the progress bar, the abort button, the
// job total line and the percentage in the minimised caption.

class QProgressBar;
class QPushButton;
class QString;
class QWidget;
class StatusLines;
enum class JobLine;

/// Shows a job's progress. User-interface thread.
class JobDisplay {
  public:
    JobDisplay(QWidget& window, QProgressBar& bar, QPushButton& abort, StatusLines& status);

    /// A job of `total` units starts: the abort button and the progress bar
    /// show, and `totalLine` says "Total:  " + total.
    void showStart(int total, JobLine totalLine);
    /// Moves the progress bar to `progress` of `total`; while the window is
    /// minimised its caption shows the percentage + "% Analyzed".
    void showProgress(int progress, int total);
    /// Hides the progress bar (at 0) and the abort button and puts the caption back.
    void reset();

  private:
    QWidget& m_window;
    QProgressBar& m_bar;
    QPushButton& m_abort;
    StatusLines& m_status;
};
