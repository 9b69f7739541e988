#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "build_dlg.h"
#include "image_suffix.h"

/// Counts the images of the build dialog's source on a thread of its own, so
/// that typing a path into the dialog never waits for a walk of a large tree.
/// Requests are gathered for a moment while the user types; the newest wins:
/// a folder walk still running for an older request is cut short and its
/// result dropped. User-interface thread, except where noted.
class BackgroundCounter : public QObject {
    Q_OBJECT
  public:
    /// Quiet time after the last edit before a count starts.
    static constexpr int kSettleMs = 150;

    /// Counts the files `formats` takes as images.
    explicit BackgroundCounter(ImageFormats formats = ImageFormats::All);
    /// Cuts a running count short and waits for the thread.
    ~BackgroundCounter() override;

    /// The folder counter to hand to the dialog: CountFolderImages on the
    /// disk, stopped early once a newer request has come in. Counter thread.
    CBuildDlg::FolderCounter folderCounter();
    /// CountListFile, stopped early as the folder counter is. Counter thread.
    CBuildDlg::ListCounter listCounter();
    /// Makes `dialog` count through this object.
    void attach(CBuildDlg& dialog);

  private:
    struct Request {
        std::function<int()> count;
        unsigned generation = 0;
    };
    void request(std::function<int()> count, std::function<void(int)> show);
    void startPending();
    void workerLoop(std::stop_token stop);
    void deliver(unsigned generation, int n);

    const ImageFormats m_formats;

    // User-interface thread only.
    QPointer<QObject> m_dialog;
    QTimer m_settle;
    Request m_pending;
    unsigned m_newest = 0;
    std::function<void(int)> m_show;  // shows the newest request's result

    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::optional<Request> m_queued;  // guarded by m_mutex
    std::atomic<bool> m_cancel{false};
    std::jthread m_worker;
};
