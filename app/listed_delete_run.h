#pragma once

#include <QObject>
#include <QTimer>
#include <memory>
#include <vector>

#include "pair_viewer.h"

class QProgressDialog;
class QWidget;
class RunState;

/// The automatic delete over a chosen list of pairs (the pair overview's
/// run): one pair per turn of the event loop, so that the windows keep
/// painting, behind a modal progress window whose Stop ends the run after the
/// pair in hand. Each removal takes the viewer's normal path; a failed file
/// operation (already reported there) ends the run, as the next pair would
/// likely fail alike. The delete mode in force comes back at the end.
/// User-interface thread.
class ListedDeleteRun : public QObject {
    Q_OBJECT
  public:
    enum class Outcome { Running, Finished, Stopped, Failed };

    /// `pairs` are 0-based, taken in the given order. The progress window is
    /// centred on `progressParent`.
    ListedDeleteRun(RunState& run, PairViewer& viewer, std::vector<int> pairs,
                    QWidget* progressParent);
    ~ListedDeleteRun() override;

    void start();
    /// Ends the run after the pair in hand, as the progress window's Stop does.
    void stop() { m_stopAsked = true; }
    Outcome outcome() const { return m_outcome; }
    int pairsTaken() const { return m_next; }
    int pairCount() const { return static_cast<int>(m_pairs.size()); }
    int removed() const { return m_removed; }

  signals:
    /// After each pair; `removed` counts the files removed so far.
    void pairDone(int taken, int removed);
    void finished();

  private:
    enum class PairResult { Removed, Kept, Failed };
    void step();
    PairResult actOnShownPair();
    void finish(Outcome outcome);

    RunState& m_run;
    PairViewer& m_viewer;
    std::vector<int> m_pairs;
    std::unique_ptr<QProgressDialog> m_progress;
    QTimer m_timer;
    DeleteMode m_savedMode = DeleteMode::Manual;
    AutoDeleteRun m_savedRun;
    int m_next = 0;
    int m_removed = 0;
    bool m_started = false;
    bool m_stopAsked = false;
    Outcome m_outcome = Outcome::Running;
};
