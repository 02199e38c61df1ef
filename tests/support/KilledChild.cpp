#include "support/KilledChild.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

int DurabilityTrials() {
    const char* asked = std::getenv("TILLBOOK_DURABILITY_TRIALS");
    return asked ? std::max(200, std::atoi(asked)) : 200;
}

KilledChild::KilledChild(const std::string& program, const std::vector<std::string>& args,
                         bool readOutput) {
    int fds[2] = {-1, -1};
    if (readOutput && pipe(fds) != 0)
        return;
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    m_pid = fork();
    if (m_pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(readOutput ? fds[1] : null, STDOUT_FILENO);
        if (!readOutput)
            dup2(null, STDERR_FILENO);
        if (readOutput) {
            close(fds[0]);
            close(fds[1]);
        }
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    if (readOutput) {
        close(fds[1]);
        m_fd = fds[0];
    }
}

KilledChild::~KilledChild() {
    if (m_pid > 0)
        Kill();
}

bool KilledChild::ReadSome(int timeoutMs) {
    if (m_fd < 0)
        return false;
    pollfd p{m_fd, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0)
        return true;
    char buffer[4096];
    const ssize_t n = read(m_fd, buffer, sizeof buffer);
    if (n <= 0)
        return false;
    m_output.append(buffer, static_cast<size_t>(n));
    return true;
}

bool KilledChild::WaitFor(const std::string& text, std::chrono::milliseconds timeout) {
    const auto giveUp = std::chrono::steady_clock::now() + timeout;
    while (m_output.find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() >= giveUp || !ReadSome(100))
            return false;
    }
    return true;
}

int KilledChild::Kill() {
    if (m_pid > 0)
        kill(m_pid, SIGKILL);
    return Wait();
}

int KilledChild::Wait() {
    while (ReadSome(5000)) {
    }
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
    int status = 0;
    if (m_pid > 0)
        waitpid(m_pid, &status, 0);
    m_pid = -1;
    return status;
}
