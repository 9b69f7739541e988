#include "auto_delete_runner.h"

#include <QApplication>
#include <QPushButton>

#include "command_router.h"
#include "main_ids.h"
#include "pair_removal.h"
#include "pair_viewer.h"
#include "pause_key_watcher.h"
#include "run_state.h"
#include "viewer_panel.h"

AutoDeleteRunner::AutoDeleteRunner(RunState& run, PairViewer& viewer, ViewerPanel& panel,
                                   CommandRouter& commands, QWidget& window)
    : m_run(run),
      m_viewer(viewer),
      m_panel(panel),
      m_commands(commands),
      m_window(window),
      m_pauseKey(new PauseKeyWatcher(&window)) {
    m_pauseKeyHeld = [this] { return m_pauseKey->isHeld(); };
    m_stepTimer.setSingleShot(true);
    connect(&m_stepTimer, &QTimer::timeout, this, &AutoDeleteRunner::onStep);
}

AutoDeleteRunner::~AutoDeleteRunner() {
    m_stepTimer.stop();
}

DeleteVerdict AutoDeleteRunner::EvaluateCriteria(DeleteMode deleteMode) {
    const DeleteDecision d =
        EvaluateDeleteCriteria(deleteMode, m_run.settings().m_nDeleteSequence,
                               m_viewer.side(kLeftSide), m_viewer.side(kRightSide));
    if (!d.evaluated) {
        return d.verdict;
    }
    m_panel.setPairInfo(QString::fromStdString(d.statusText));
    if (d.focusControl != 0) {
        m_panel.button(d.focusControl)->setFocus(Qt::OtherFocusReason);
    }
    m_viewer.pushFields();
    return d.verdict;
}

void AutoDeleteRunner::RunDeleteModeStep(DeleteMode deleteMode) {
    if (deleteMode == DeleteMode::Automatic) {
        AutoDeleteRun& run = m_viewer.autoRun();
        run.lastVerdict = EvaluateCriteria(deleteMode);
        // The sizes belong to the pair now shown, whichever mode runs.
        m_viewer.UpdateSizeLabels();
        if (!run.active) {
            return;
        }
        if (m_pauseKeyHeld()) {
            m_stepTimer.stop();
            run.active = 0;
            m_viewer.removal().ShowDeleteSummary(run.deletedCount);
            return;
        }
        m_stepTimer.start(m_run.settings().m_nAutoDelay);
        return;
    }
    if (deleteMode == DeleteMode::SemiAuto) {
        EvaluateCriteria(deleteMode);
    }
    m_viewer.UpdateSizeLabels();
    m_viewer.pushFields();
}

void AutoDeleteRunner::resumeStep() {
    if (m_viewer.autoRun().active) {
        m_stepTimer.start(m_run.settings().m_nAutoDelay);
    }
}

void AutoDeleteRunner::endRun() {
    m_stepTimer.stop();
    m_viewer.autoRun().active = 0;
}

void AutoDeleteRunner::takeNoDeleteStep() {
    const bool minimised = m_window.isMinimized();
    const int pairs = m_viewer.pairCount();
    const int percent = pairs > 0 ? m_viewer.selectedPair() * 100 / pairs : 0;
    takeNoDeleteStep(minimised, percent);
}

void AutoDeleteRunner::onStep() {
    m_stepTimer.stop();
    const AutoDeleteRun& run = m_viewer.autoRun();
    if (!run.active) {
        return;
    }
    if (!m_window.isMinimized()) {
        pressFocusedChoice();
        return;
    }
    // Minimised, the focus cannot be trusted: the verdict decides.
    const int pairs = m_viewer.pairCount();
    const int percent = pairs > 0 ? m_viewer.selectedPair() * 100 / pairs : 0;
    m_window.setWindowTitle(QStringLiteral("%1% Done").arg(percent));
    switch (run.lastVerdict) {
        case DeleteVerdict::DeleteRight:
            m_commands.run(MainId::RightDelete);
            break;
        case DeleteVerdict::DeleteLeft:
            m_commands.run(MainId::LeftDelete);
            break;
        case DeleteVerdict::NoDelete:
            takeNoDeleteStep(true, percent);
            break;
    }
}

void AutoDeleteRunner::pressFocusedChoice() {
    // A dialog of the program holding the focus counts as the user's move;
    // another program in front does not.
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr) {
        focus = m_window.focusWidget();
    }
    for (int id : {MainId::RightDelete, MainId::LeftDelete}) {
        if (focus == m_panel.button(id)) {
            m_commands.run(id);
            return;
        }
    }
    if (focus == m_panel.button(MainId::Next)) {
        takeNoDeleteStep(false, 0);
        return;
    }
    // The user moved the focus: that ends the run, without a summary.
    m_viewer.autoRun().active = 0;
}

void AutoDeleteRunner::takeNoDeleteStep(bool minimised, int percent) {
    if (!m_run.settings().m_bPauseOnNoDelete) {
        m_viewer.OnNext();
        return;
    }
    // Paused: the run stays active and goes on when the user presses Next.
    if (minimised) {
        m_window.setWindowTitle(QStringLiteral("%1% Paused").arg(percent));
    }
}
