#include "background_counter.h"

#include "folder_source.h"
#include "folder_walk.h"
#include "list_file.h"

namespace {

// The disk, until the flag says the walk is no longer wanted: from then on
// every listing ends at once, so the walk unwinds quickly.
class CancellableSource : public FolderSource {
  public:
    explicit CancellableSource(const std::atomic<bool>& cancel) : m_cancel(cancel) {}

    std::unique_ptr<FolderListing> open(const std::string& folder) override {
        if (m_cancel.load(std::memory_order_relaxed)) {
            return nullptr;
        }
        std::unique_ptr<FolderListing> inner = m_disk.open(folder);
        if (inner == nullptr) {
            return nullptr;
        }
        return std::make_unique<Listing>(std::move(inner), m_cancel);
    }

  private:
    class Listing : public FolderListing {
      public:
        Listing(std::unique_ptr<FolderListing> inner, const std::atomic<bool>& cancel)
            : m_inner(std::move(inner)), m_cancel(cancel) {}
        FolderId id() const override { return m_inner->id(); }
        bool next(FolderEntry& entry) override {
            return !m_cancel.load(std::memory_order_relaxed) && m_inner->next(entry);
        }
        bool failed() const override { return m_inner->failed(); }

      private:
        std::unique_ptr<FolderListing> m_inner;
        const std::atomic<bool>& m_cancel;
    };

    DiskFolderSource m_disk;
    const std::atomic<bool>& m_cancel;
};

}  // namespace

BackgroundCounter::BackgroundCounter(ImageFormats formats) : m_formats(formats) {
    m_settle.setSingleShot(true);
    connect(&m_settle, &QTimer::timeout, this, &BackgroundCounter::startPending);
    m_worker = std::jthread([this](std::stop_token stop) { workerLoop(stop); });
}

BackgroundCounter::~BackgroundCounter() {
    m_cancel.store(true);
    m_worker.request_stop();
    m_worker.join();
}

CBuildDlg::FolderCounter BackgroundCounter::folderCounter() {
    return [this](const std::string& folder, bool subfolders, bool quick) {
        CancellableSource source(m_cancel);
        return CountFolderImages(source, folder, subfolders, quick, m_formats);
    };
}

CBuildDlg::ListCounter BackgroundCounter::listCounter() {
    return [this](const std::string& list, bool quick) {
        CancellableSource source(m_cancel);
        return CountListFileWith(source, list, quick, m_formats);
    };
}

void BackgroundCounter::attach(CBuildDlg& dialog) {
    m_dialog = &dialog;
    dialog.setCountRunner([this](std::function<int()> count, std::function<void(int)> show) {
        request(std::move(count), std::move(show));
    });
}

void BackgroundCounter::request(std::function<int()> count, std::function<void(int)> show) {
    m_pending = Request{std::move(count), ++m_newest};
    m_show = std::move(show);
    m_cancel.store(true);  // whatever runs now is out of date
    m_settle.start(kSettleMs);
}

void BackgroundCounter::startPending() {
    {
        std::lock_guard lock(m_mutex);
        m_queued = std::move(m_pending);
    }
    m_wake.notify_one();
}

void BackgroundCounter::workerLoop(std::stop_token stop) {
    for (;;) {
        Request next;
        {
            std::unique_lock lock(m_mutex);
            if (!m_wake.wait(lock, stop, [this] { return m_queued.has_value(); })) {
                return;
            }
            next = std::move(*m_queued);
            m_queued.reset();
            m_cancel.store(false);
        }
        const int n = next.count();
        if (m_cancel.load()) {
            continue;  // cut short: a newer request is on its way
        }
        QMetaObject::invokeMethod(
            this, [this, generation = next.generation, n] { deliver(generation, n); },
            Qt::QueuedConnection);
    }
}

void BackgroundCounter::deliver(unsigned generation, int n) {
    if (generation == m_newest && m_dialog != nullptr && m_show) {
        m_show(n);
    }
}
