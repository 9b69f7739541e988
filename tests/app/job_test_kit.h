#pragma once
// A main window over temporary folders for the tests of its background jobs,
// with the helpers those tests share.

#include <QAbstractButton>
#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "build_dlg.h"
#include "desktop.h"
#include "dialog_kit.h"
#include "file_ops.h"
#include "job_progress.h"
#include "qsettings_store.h"
#include "scripted_prompter.h"
#include "test_images.h"
#include "window_test_kit.h"

/// Holds every thread that passes until the watched job is told to stop, so
/// a test can act while a job is certainly in the middle of its work.
class StopGate {
  public:
    void watch(const JobProgress* progress) { m_watch.store(progress); }
    /// Called by the job's threads.
    void pass() {
        std::unique_lock lock(m_mutex);
        ++m_waiting;
        while (!m_open) {
            const JobProgress* watched = m_watch.load();
            if (watched != nullptr && watched->stopRequested()) {
                break;
            }
            m_wake.wait_for(lock, std::chrono::milliseconds(5));
        }
        --m_waiting;
        ++m_passed;
    }
    void open() {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_wake.notify_all();
    }
    int waiting() {
        std::lock_guard lock(m_mutex);
        return m_waiting;
    }
    int passed() {
        std::lock_guard lock(m_mutex);
        return m_passed;
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::atomic<const JobProgress*> m_watch{nullptr};
    bool m_open = false;
    int m_waiting = 0;
    int m_passed = 0;
};

class NoFileOps : public FileOps {
  public:
    bool moveToTrash(const std::string&) override { return false; }
    bool deletePermanently(const std::string&) override { return false; }
    std::optional<std::string> moveToFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }
};

/// A temporary folder with a settings store in it, and the window's services.
class JobWindowFixture {
  public:
    JobWindowFixture() : m_store(m_dir.filePath("settings.ini")) {
        // Saved once before: no first-start defaults; logs go to our folder.
        m_store.writeString("Dups", "First", "Second");
        m_store.writeString("1.0", "LogPath", path("logs"));
    }

    std::string path(const QString& name) const { return m_dir.filePath(name).toStdString(); }
    QString qpath(const QString& name) const { return m_dir.filePath(name); }
    QSettingsStore& store() { return m_store; }
    ScriptedPrompter& prompter() { return m_prompter; }

    std::unique_ptr<CMainDlg> makeDlg() {
        auto dlg = std::make_unique<CMainDlg>(MainDlgServices{.store = m_store,
                                                              .prompter = m_prompter,
                                                              .fileOps = m_fileOps,
                                                              .desktop = m_desktop,
                                                              .dataFolder = qpath("data"),
                                                              .seedLogFile = ":/twinly/Dups.log"});
        dlg->show();
        return dlg;
    }

    /// Writes `count` small JPEG images, each clearly unlike the others, into
    /// `folder` (made if needed) as name0.jpg, name1.jpg, ...; returns their paths.
    std::vector<std::string> writeImages(const QString& folder, int count,
                                         const QString& name = "img", int first = 0) {
        QDir().mkpath(qpath(folder));
        std::vector<std::string> paths;
        for (int i = first; i < first + count; ++i) {
            const std::string file = path(QStringLiteral("%1/%2%3.jpg").arg(folder, name).arg(i));
            const QColor from = QColor::fromHsv((i * 67) % 360, 255, 255);
            const QColor to = QColor::fromHsv((i * 67 + 150) % 360, 255, 40 + (i * 37) % 120);
            if (!WriteImage(GradientImage(40 + 4 * (i % 5), 30, from, to), file, "JPG")) {
                qFatal("cannot write %s", file.c_str());
            }
            paths.push_back(file);
        }
        return paths;
    }

    /// A window on "Find dups" whose primary data holds four unlike images
    /// and a copy of the second (one matching pair); `images` gets their
    /// paths, the copy last. `pollers` owns the build dialog's answer.
    std::unique_ptr<CMainDlg> windowWithOneCopy(QObject* pollers, std::vector<std::string>& images);

  private:
    QTemporaryDir m_dir;
    QSettingsStore m_store;
    ScriptedPrompter m_prompter;
    NoFileOps m_fileOps;
    RecordingDesktop m_desktop;
};

/// Answers the next build dialog with a folder source, then OK.
inline void answerBuildDialog(QObject* owner, const std::string& folder, bool subfolders = false) {
    onNextModal(owner, [folder, subfolders](QWidget* dialog) {
        control<QLineEdit>(dialog, BuildDlgId::Folder)->setText(QString::fromStdString(folder));
        auto* box = control<QAbstractButton>(dialog, BuildDlgId::Subfolders);
        if (box->isChecked() != subfolders) {
            box->click();
        }
        control<QAbstractButton>(dialog, kIdOk)->click();
    });
}

inline std::unique_ptr<CMainDlg> JobWindowFixture::windowWithOneCopy(
    QObject* pollers, std::vector<std::string>& images) {
    images = writeImages("one", 4);
    images.push_back(path("one/zcopy.jpg"));
    if (!QFile::copy(QString::fromStdString(images[1]), QString::fromStdString(images[4]))) {
        qFatal("cannot copy");
    }
    auto dlg = makeDlg();
    answerBuildDialog(pollers, path("one"));
    dlg->OnCommand(MainId::PrimaryBuild);
    if (!QTest::qWaitFor([&] { return dlg->run().primary().count() == 5; }, 20000)) {
        qFatal("the primary build did not finish");
    }
    dlg->selectPage(kPageFind);
    return dlg;
}
