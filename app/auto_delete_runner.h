#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

#include "delete_criteria.h"

class CommandRouter;
class PairViewer;
class PauseKeyWatcher;
class QWidget;
class RunState;
class ViewerPanel;

/// The semi-automatic and automatic delete modes of the pair viewer: applies
/// the criteria to each pair Next shows, proposes the pick by moving the focus,
/// and in automatic mode presses the chosen button after the delay, pair after
/// pair, until the last pair, a pause, the "P" key or the user stops it.
/// User-interface thread.
class AutoDeleteRunner : public QObject {
    Q_OBJECT
  public:
    /// `window` is where the pause key is watched, its caption shows a
    /// minimised run's progress and its focus tells the user's choice.
    AutoDeleteRunner(RunState& run, PairViewer& viewer, ViewerPanel& panel, CommandRouter& commands,
                     QWidget& window);
    ~AutoDeleteRunner() override;

    /// What runs after Next has shown a pair, for the delete mode in force.
    void RunDeleteModeStep(DeleteMode deleteMode);
    /// Applies the criteria to the shown pair: the status text, the focus on
    /// the chosen button or on Next. Returns the verdict; NoDelete in manual mode.
    DeleteVerdict EvaluateCriteria(DeleteMode deleteMode);
    /// A pending automatic step is dropped (a Delete button or Next was pressed).
    void stopStep() { m_stepTimer.stop(); }
    bool stepPending() const { return m_stepTimer.isActive(); }
    /// Starts the step again, with the delay in force, after something held
    /// it back; nothing when no run is active.
    void resumeStep();
    /// Ends an active run without a summary (another delete mode was chosen).
    void endRun();
    /// What an active run does at "No delete": walks on, or waits for Next
    /// when the pause option is on.
    void takeNoDeleteStep();

  private:
    void onStep();
    void pressFocusedChoice();
    void takeNoDeleteStep(bool minimised, int percent);

    RunState& m_run;
    PairViewer& m_viewer;
    ViewerPanel& m_panel;
    CommandRouter& m_commands;
    QWidget& m_window;
    PauseKeyWatcher* m_pauseKey;
    std::function<bool()> m_pauseKeyHeld;
    QTimer m_stepTimer;
};
