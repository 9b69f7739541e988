#pragma once

#include <QWidget>
#include <cstdint>

#include "match_band.h"

class JobController;
class QLabel;
class QLineEdit;
class QPushButton;
class RunState;
class UpDownControl;

/// Page "Find dups": the "Dup if within" band edits with their up-down
/// controls, the "Find dups" and "Setup..." buttons, the settings summary and
/// the hint shown while "Find dups" cannot run. It follows the run state and
/// the job: "Find dups" is enabled only while no job runs and the data the
/// comparison mode needs is loaded.
class FindPage : public QWidget {
    Q_OBJECT
  public:
    FindPage(const RunState& run, const JobController& jobs, QWidget* parent = nullptr);

    /// Both edits as a first start shows them: the lower bound from the
    /// settings (tenths, in range), the upper at 100.
    void showBand(int lowerTenths);
    /// The lower and upper bound as typed, in tenths of a percent.
    std::int32_t lowerBoundTenths() const;
    std::int32_t upperBoundTenths() const;
    /// The band of the edits brought into range; the edits show what was corrected.
    MatchBand takeCorrectedBand();

    /// Enables "Find dups" by the rule above; the hint hides when it is enabled
    /// and shows when it is not and this page is the one shown.
    void updateFindButton();
    void setHintVisible(bool visible);
    /// Writes the settings summary anew.
    void refreshSettingsText();

  private:
    void syncSpin(QLineEdit* edit, UpDownControl* spin);

    const RunState& m_run;
    const JobController& m_jobs;
    QLineEdit* m_lower;
    QLineEdit* m_upper;
    UpDownControl* m_lowerSpin;
    UpDownControl* m_upperSpin;
    QPushButton* m_find;
    QLabel* m_hint;
    QLabel* m_settings;
};
