#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace gaisan::testing {

/// Processes standing in for a classroom's machines, each telling the test through one pipe what
/// it saw done, so that the test knows what a process killed at any moment had finished, the way
/// machines are switched off in the middle of a lesson. A report is a small struct, which a pipe
/// always writes whole.
template <typename Report>
class ReportingProcesses {
public:
    ReportingProcesses() {
        if (pipe(m_pipe) != 0 || fcntl(m_pipe[0], F_SETFL, O_NONBLOCK) != 0) {
            ADD_FAILURE() << "no pipe for the reports";
        }
    }
    ~ReportingProcesses() {
        for (int end : m_pipe) {
            if (end >= 0) close(end);
        }
    }
    ReportingProcesses(const ReportingProcesses&) = delete;
    ReportingProcesses& operator=(const ReportingProcesses&) = delete;

    /// Runs `machine` in a process of its own, which ends when it returns.
    pid_t start(const std::function<void()>& machine) {
        const pid_t pid = fork();
        if (pid != 0) return pid;
        close(m_pipe[0]);
        machine();
        _exit(0);
    }

    /// Within a process: tells the test of `report`.
    void tell(const Report& report) {
        if (write(m_pipe[1], &report, sizeof report) != sizeof report) _exit(2);
    }

    /// Hands each report that has arrived to `onReport`.
    void drain(const std::function<void(const Report&)>& onReport) {
        Report report{};
        while (m_pipe[0] >= 0 && read(m_pipe[0], &report, sizeof report) == sizeof report) {
            onReport(report);
        }
    }

    /// Kills `pid` and waits for it; false, with its status, when it had ended by itself.
    static bool kill(pid_t pid, int& status) {
        ::kill(pid, SIGKILL);
        status = 0;
        waitpid(pid, &status, 0);
        return WIFSIGNALED(status);
    }

    /// Kills every process of `pids` and hands the reports that are left to `onReport`.
    template <typename Pids>
    void stop(const Pids& pids, const std::function<void(const Report&)>& onReport) {
        for (const pid_t pid : pids) {
            if (pid == 0) continue;
            ::kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        close(m_pipe[1]);
        m_pipe[1] = -1;
        drain(onReport);
    }

private:
    int m_pipe[2] = {-1, -1};
};

}  // namespace gaisan::testing
