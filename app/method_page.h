#pragma once

#include <QWidget>

#include "find_modes.h"

class JobController;
class QRadioButton;
class RunState;

/// Page "Method": the comparison mode radio group. It shows the run's mode
/// and is disabled while a job runs.
class MethodPage : public QWidget {
    Q_OBJECT
  public:
    MethodPage(const RunState& run, const JobController& jobs, QWidget* parent = nullptr);

  signals:
    /// The user chose a mode.
    void compareModeChosen(CompareMode mode);

  private:
    void setCompareMode(CompareMode mode);
    void setModeButtonsEnabled(bool enable);

    QRadioButton* m_modes[3];
};
