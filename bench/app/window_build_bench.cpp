// A primary build from the main window, as a user starts it: "Build...", the
// folder named by TWINLY_BENCH_PHOTOS (with its subfolders), OK, until the
// finish text. Wall time from OK to the finish, with one decoding thread and
// with one per core. Runs offscreen; settings go to a temporary folder.
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdlib>
#include <thread>

#include "build_commands.h"
#include "control_ids.h"
#include "desktop.h"
#include "file_ops.h"
#include "job_controller.h"
#include "qsettings_store.h"
#include "scripted_prompter.h"
#include "window_test_kit.h"

namespace {

class NoFileOps : public FileOps {
  public:
    bool moveToTrash(const std::string&) override { return false; }
    bool deletePermanently(const std::string&) override { return false; }
    std::optional<std::string> moveToFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }
};

// Seconds from OK in the build dialog to the end of the job; negative when
// the build did not finish.
double timeOneBuild(const QString& folder, int threads) {
    QTemporaryDir dir;
    QSettingsStore store(dir.filePath("settings.ini"));
    store.writeString("Dups", "First", "Second");
    ScriptedPrompter prompter;
    NoFileOps fileOps;
    RecordingDesktop desktop;
    CMainDlg dlg({.store = store,
                  .prompter = prompter,
                  .fileOps = fileOps,
                  .desktop = desktop,
                  .dataFolder = dir.filePath("data"),
                  .seedLogFile = QString()});
    dlg.buildCommands().setThreads(threads);
    QElapsedTimer clock;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr) {
            return;
        }
        answer.stop();
        FindControl<QLineEdit>(dialog, 1007)->setText(folder);
        auto* subfolders = FindControl<QAbstractButton>(dialog, 1039);
        if (!subfolders->isChecked()) {
            subfolders->click();
        }
        clock.start();
        FindControl<QAbstractButton>(dialog, 1)->click();
    });
    answer.start(10);
    dlg.OnCommand(1084);
    QEventLoop wait;
    QObject::connect(&dlg.jobs(), &JobController::finished, &wait, &QEventLoop::quit);
    if (dlg.jobs().isRunning()) {
        wait.exec();
    }
    return dlg.run().primary().hasRecords() ? clock.nsecsElapsed() / 1e9 : -1.0;
}

void BM_WindowBuild(benchmark::State& state) {
    const char* folder = std::getenv("TWINLY_BENCH_PHOTOS");
    if (folder == nullptr) {
        state.SkipWithError("set TWINLY_BENCH_PHOTOS to a folder of photographs");
        return;
    }
    for (auto _ : state) {
        const double seconds =
            timeOneBuild(QString::fromLocal8Bit(folder), static_cast<int>(state.range(0)));
        if (seconds < 0) {
            state.SkipWithError("the build did not finish");
            return;
        }
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_WindowBuild)
    ->Arg(1)
    ->Arg(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())))
    ->Unit(benchmark::kSecond)
    ->UseManualTime()
    ->Iterations(1);

}  // namespace
