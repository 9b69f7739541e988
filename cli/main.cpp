// twinly-cli: building image data files and finding duplicate pairs from the
// command line, with the same engine and the same files as the window.

#include <QGuiApplication>
#include <clocale>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "cli_files.h"
#include "cli_options.h"
#include "commands.h"
#include "console_style.h"
#include "imaging.h"
#include "stop_signal.h"

namespace {

// Library chatter has no place in a tool's output; errors are ours to report.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "twinly-cli: %s\n", text.toLocal8Bit().constData());
    }
}

bool needsImaging(const CliOptions& options) {
    return options.command == CliCommand::Build || options.command == CliCommand::Rebuild ||
           (options.command == CliCommand::Find && !options.single.empty());
}

int runCommand(const CliOptions& options, ConsolePrompter& prompter) {
    try {
        switch (options.command) {
            case CliCommand::Build:
                return RunBuild(options, prompter);
            case CliCommand::Rebuild:
                return RunRebuild(options, prompter);
            case CliCommand::Find:
                return RunFind(options, prompter);
            case CliCommand::Info:
                return RunInfo(options, prompter);
            case CliCommand::Ignore:
                return RunIgnore(options, prompter);
            default:
                return kExitUsage;
        }
    } catch (const std::exception& error) {
        // Out of memory, mostly; no output file has been written.
        return Fail(error.what());
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParsedCommandLine parsed = ParseCommandLine(args);
    if (!parsed.error.empty()) {
        Report(Tone::Error, parsed.error);
        std::fprintf(stderr, "\n%s", UsageText());
        return kExitUsage;
    }
    const CliOptions& options = parsed.options;
    if (options.command == CliCommand::Help || options.command == CliCommand::Version) {
        if (options.command == CliCommand::Help) {
            std::fputs(UsageText(), stdout);
        } else {
            std::printf("twinly-cli %s\n", TWINLY_VERSION);
        }
        // A full disk or a closed pipe must not pass for a printed text.
        return std::fflush(stdout) == 0 && std::ferror(stdout) == 0
                   ? kExitOk
                   : Fail("cannot write the standard output");
    }

    // The log's date line is in the user's locale, as the window writes it.
    std::setlocale(LC_ALL, "");
    InstallStopHandlers();
    std::unique_ptr<QGuiApplication> app;
    if (needsImaging(options)) {
        // Some image types are drawn with Qt's fonts; no display is needed.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(quietQtMessages);
        static int qtArgc = 1;
        app = std::make_unique<QGuiApplication>(qtArgc, argv);
        InitializeImaging();
    }
    ConsolePrompter prompter;
    const int status = runCommand(options, prompter);
    // Whatever failed once the user pressed Ctrl+C failed because of it.
    return status == kExitFailure && StopSignalled() ? kExitStopped : status;
}
