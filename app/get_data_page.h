#pragma once

#include <QWidget>

#include "find_modes.h"

class QLabel;
class RunState;

/// Page "Get data": the primary, secondary and single-image rows and the
/// status line 1025. The rows follow the run state: each slot's count and
/// label, the single image, and which rows the comparison mode uses.
class GetDataPage : public QWidget {
    Q_OBJECT
  public:
    explicit GetDataPage(const RunState& run, QWidget* parent = nullptr);

    /// Both slots' rows from the run state.
    void refreshDatafileTexts();
    /// The rows before anything was loaded.
    void showNothingLoaded();
    void setStatus(const QString& text);
    QString status() const;

  private:
    void showSingleImage();
    void enableRowsForMode(CompareMode mode);

    const RunState& m_run;
    QLabel* m_primaryLabel;
    QLabel* m_primaryFile;
    QLabel* m_secondaryLabel;
    QLabel* m_secondaryFile;
    QLabel* m_singleLabel;
    QLabel* m_singleFile;
    QLabel* m_status;
    QWidget* m_secondaryRow[4];
    QWidget* m_singleRow[3];
};
