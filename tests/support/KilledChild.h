#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

// The durability tests run a program as a child and kill it with SIGKILL at a random moment,
// then look at what it left behind.

// Trials per durability test: 200, or more when TILLBOOK_DURABILITY_TRIALS asks for a longer run.
int DurabilityTrials();

class KilledChild {
public:
    // Starts `program` with `args`. With `readOutput` its standard output is kept for
    // WaitFor and Output; otherwise both its outputs go to /dev/null.
    KilledChild(const std::string& program, const std::vector<std::string>& args, bool readOutput);
    ~KilledChild();
    KilledChild(const KilledChild&) = delete;
    KilledChild& operator=(const KilledChild&) = delete;

    // Reads the child's output until `text` is in it; false when the output ends or `timeout`
    // passes first.
    bool WaitFor(const std::string& text, std::chrono::milliseconds timeout);
    // Kills the child, reads the rest of its output and returns its wait status.
    int Kill();
    // Waits for the child to end by itself and returns its wait status.
    int Wait();
    const std::string& Output() const { return m_output; }

private:
    // Reads what is there within `timeoutMs`; false at the end of the output.
    bool ReadSome(int timeoutMs);

    pid_t m_pid = -1;
    int m_fd = -1;
    std::string m_output;
};
