#include "cli_process.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

using Clock = std::chrono::steady_clock;

CliProcess::CliProcess(const std::vector<std::string>& args, const ProcessSetup& setup) {
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    if (setup.stderrTerminal) {
        if (::openpty(&err[0], &err[1], nullptr, nullptr, nullptr) != 0) {
            throw std::runtime_error("openpty failed");
        }
        ::fcntl(err[0], F_SETFD, FD_CLOEXEC);
        ::fcntl(err[1], F_SETFD, FD_CLOEXEC);
    } else if (::pipe2(err, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const std::string program = setup.program.empty() ? TWINLY_CLI_PATH : setup.program;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    m_pid = ::fork();
    if (m_pid == 0) {
        for (const std::string& entry : setup.environment) {
            const std::size_t equals = entry.find('=');
            if (equals == std::string::npos) {
                ::unsetenv(entry.c_str());
            } else {
                ::setenv(entry.substr(0, equals).c_str(), entry.c_str() + equals + 1, 1);
            }
        }
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    m_outFd = out[0];
    m_errFd = err[0];
}

CliProcess::~CliProcess() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    for (const int fd : {m_outFd, m_errFd}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

bool CliProcess::pump(Clock::time_point deadline) {
    pollfd fds[2] = {{m_outFd, POLLIN, 0}, {m_errFd, POLLIN, 0}};
    const int open = (m_outFd >= 0 ? 1 : 0) + (m_errFd >= 0 ? 1 : 0);
    if (open == 0) {
        return false;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0 || ::poll(fds, 2, static_cast<int>(left)) <= 0) {
        return true;
    }
    int* const fdOf[2] = {&m_outFd, &m_errFd};
    std::string* const textOf[2] = {&m_out, &m_err};
    for (int k = 0; k < 2; ++k) {
        if (*fdOf[k] < 0 || fds[k].revents == 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t n = ::read(*fdOf[k], buffer, sizeof buffer);
        if (n > 0) {
            textOf[k]->append(buffer, static_cast<std::size_t>(n));
        } else {
            // A pseudo-terminal ends with EIO once the child has closed it.
            ::close(*fdOf[k]);
            *fdOf[k] = -1;
        }
    }
    return true;
}

bool CliProcess::waitForStderr(const std::string& text, std::chrono::seconds bound) {
    const auto deadline = Clock::now() + bound;
    while (m_err.find(text) == std::string::npos) {
        if (Clock::now() >= deadline || !pump(deadline)) {
            return false;
        }
    }
    return true;
}

void CliProcess::sendSignal(int number) {
    ::kill(m_pid, number);
}

int CliProcess::finish(std::chrono::seconds bound) {
    const auto deadline = Clock::now() + bound;
    while (Clock::now() < deadline && pump(deadline)) {
    }
    if (m_outFd >= 0 || m_errFd >= 0) {
        return -1;  // still writing when the bound passed; the destructor kills it
    }
    int status = 0;
    if (::waitpid(m_pid, &status, 0) != m_pid) {
        return -1;
    }
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

CliResult RunCli(const std::vector<std::string>& args, const ProcessSetup& setup) {
    CliProcess process(args, setup);
    CliResult result;
    result.status = process.finish();
    result.out = process.out();
    result.err = process.err();
    return result;
}
