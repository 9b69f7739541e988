#pragma once
// The main window's status lines, as the command classes write them.

#include <QString>

class GetDataPage;
class QLabel;

/// The job lines at the right of the window.
enum class JobLine {
    Detail,   ///< 1040 ("status3")
    Counter,  ///< 1051 ("status4")
    Total,    ///< 1056 ("status7")
};

/// The status line of "Get data" (1025), the data state line below the tab
/// control (1052) and the three job lines. User-interface thread.
class StatusLines {
  public:
    StatusLines(GetDataPage& page, QLabel& dataState, QLabel& detail, QLabel& counter,
                QLabel& total);

    void setStatus(const QString& text);
    QString status() const;
    /// Hidden on every page change, shown only when asked.
    void setDataState(const QString& text, bool show = false);
    void hideDataState();
    void setJobLine(JobLine line, const QString& text);
    void clearJobLines();

  private:
    GetDataPage& m_page;
    QLabel& m_dataState;
    QLabel& m_detail;
    QLabel& m_counter;
    QLabel& m_total;
};
