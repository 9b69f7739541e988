#pragma once
// Runs the built twinly-cli as a child process with its output captured.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

/// How to start a child other than the plain tool with pipes.
struct ProcessSetup {
    std::string program;                   ///< empty: the tool
    std::vector<std::string> environment;  ///< "NAME=value" added to (or "NAME" removed from) ours
    bool stderrTerminal = false;           ///< stderr is a pseudo-terminal, as in a shell
};

/// One run of the tool. Every wait is bounded: a run that outlives its bound
/// is killed and reported as exit status -1.
class CliProcess {
  public:
    explicit CliProcess(const std::vector<std::string>& args, const ProcessSetup& setup = {});
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    /// Reads output until stderr holds `text`; false when the process ended or
    /// the bound passed first.
    bool waitForStderr(const std::string& text, std::chrono::seconds bound);
    void sendSignal(int number);
    /// Reads all output and waits for the exit; the exit status, 128 + the
    /// signal number when a signal ended it, -1 when the bound passed.
    int finish(std::chrono::seconds bound = std::chrono::seconds(120));

    const std::string& out() const { return m_out; }
    const std::string& err() const { return m_err; }

  private:
    // Reads what is there, waiting at most until `deadline`; false at end of output.
    bool pump(std::chrono::steady_clock::time_point deadline);

    pid_t m_pid = -1;
    int m_outFd = -1;
    int m_errFd = -1;
    std::string m_out;
    std::string m_err;
};

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

/// Runs the tool (or `setup.program`) to its end.
CliResult RunCli(const std::vector<std::string>& args, const ProcessSetup& setup = {});
