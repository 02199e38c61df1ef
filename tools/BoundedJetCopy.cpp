#include "BoundedJetCopy.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <new>
#include <string_view>

namespace {

using Clock = std::chrono::steady_clock;

// What the child tells the parent, each as a tag, a 64-bit length and that many bytes.
enum Tag : char {
    kProgress = 'P',  // done, total (8 bytes each), table name
    kStats = 'S',     // rows (8 bytes), then the table names, each ended by '\0'
    kImage = 'I',     // the finished SQLite file
    kRefused = 'E',   // the ImportError text
    kNoMemory = 'M',
};

constexpr std::size_t kFrameHeader = 1 + sizeof(std::uint64_t);
constexpr std::string_view kPastTheEnd = "is beyond EOF";

// A child that cannot write to its parent has no one to tell: it just ends.
void WriteOrExit(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ::_exit(3);
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

void SendFrame(int fd, Tag tag, std::string_view payload) {
    char header[kFrameHeader];
    header[0] = tag;
    const std::uint64_t size = payload.size();
    std::memcpy(header + 1, &size, sizeof size);
    WriteOrExit(fd, header, sizeof header);
    WriteOrExit(fd, payload.data(), payload.size());
}

template <typename T>
void Append(std::string& out, T value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <typename T>
T Take(std::string_view& in) {
    T value{};
    if (in.size() >= sizeof value) {
        std::memcpy(&value, in.data(), sizeof value);
        in.remove_prefix(sizeof value);
    }
    return value;
}

int g_reportFd = -1;

void RelayProgress(long long done, long long total, const std::string& table) {
    std::string payload;
    Append(payload, done);
    Append(payload, total);
    SendFrame(g_reportFd, kProgress, payload + table);
}

[[noreturn]] void RunChild(pid_t parent, int reportFd, int diagFd, const std::string& source,
                           const std::string& onlyTable, bool withProgress) {
    // Orphaned (the import was killed), the child goes too.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent)
        ::_exit(4);
    ::dup2(diagFd, STDOUT_FILENO);
    ::dup2(diagFd, STDERR_FILENO);
    ::close(diagFd);
    g_reportFd = reportFd;
    try {
        JetCopyStats stats;
        const std::string image =
            CopyJetFile(source, onlyTable, stats, withProgress ? RelayProgress : nullptr);
        std::string summary;
        Append(summary, stats.rows);
        for (const std::string& table : stats.tables)
            summary += table + '\0';
        SendFrame(reportFd, kStats, summary);
        SendFrame(reportFd, kImage, image);
    } catch (const std::bad_alloc&) {
        SendFrame(reportFd, kNoMemory, {});
    } catch (const std::exception& e) {
        SendFrame(reportFd, kRefused, e.what());
    }
    ::_exit(0);
}

std::uintmax_t ResidentBytes(pid_t pid) {
    std::ifstream statm("/proc/" + std::to_string(pid) + "/statm");
    std::uintmax_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * static_cast<std::uintmax_t>(::sysconf(_SC_PAGESIZE));
}

class Pipe {
public:
    Pipe() {
        if (::pipe2(m_fds, O_CLOEXEC) != 0)
            throw ImportError(std::string("Cannot start reading the file: ") +
                              std::strerror(errno) + ".");
    }
    ~Pipe() {
        CloseRead();
        CloseWrite();
    }
    int Read() const { return m_fds[0]; }
    int Write() const { return m_fds[1]; }
    void CloseRead() { Close(m_fds[0]); }
    void CloseWrite() { Close(m_fds[1]); }

private:
    static void Close(int& fd) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    int m_fds[2] = {-1, -1};
};

// The parent's side: reads the child's reports and diagnostics until it ends or is stopped.
class ChildWatch {
public:
    ChildWatch(pid_t child, int reportFd, int diagFd, ImportProgress progress)
        : m_child(child), m_reportFd(reportFd), m_diagFd(diagFd), m_progress(progress) {}

    ~ChildWatch() {
        if (!m_reaped) {
            ::kill(m_child, SIGKILL);
            ::waitpid(m_child, nullptr, 0);
        }
    }

    enum class End { Reported, PastTheEnd, OutOfTime, OutOfMemory, Died };

    End Run(const JetReadLimits& limits) {
        const auto deadline = Clock::now() + limits.time;
        const std::uintmax_t baseline = ResidentBytes(::getpid());
        while (m_reportFd >= 0 || m_diagFd >= 0) {
            if (m_pastTheEnd)
                return Stop(End::PastTheEnd);
            if (Clock::now() >= deadline)
                return Stop(End::OutOfTime);
            if (ResidentBytes(m_child) > baseline + limits.memoryBytes)
                return Stop(End::OutOfMemory);
            pollfd fds[2] = {{m_reportFd, POLLIN, 0}, {m_diagFd, POLLIN, 0}};
            if (::poll(fds, 2, 50) < 0 && errno != EINTR)
                return Stop(End::Died);
            if (fds[0].revents != 0)
                ReadReports();
            if (fds[1].revents != 0)
                ReadDiagnostics();
        }
        int status = 0;
        ::waitpid(m_child, &status, 0);
        m_reaped = true;
        m_status = status;
        if (m_pastTheEnd)
            return End::PastTheEnd;
        return m_done ? End::Reported : End::Died;
    }

    Tag Outcome() const { return m_outcome; }
    std::string& Payload() { return m_payload; }
    const std::string& Summary() const { return m_summary; }
    int Status() const { return m_status; }

private:
    End Stop(End why) {
        ::kill(m_child, SIGKILL);
        ::waitpid(m_child, &m_status, 0);
        m_reaped = true;
        return why;
    }

    static bool Drain(int& fd, std::string& into) {
        char buf[65536];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            return true;
        if (n <= 0) {
            ::close(fd);
            fd = -1;
            return false;
        }
        into.append(buf, static_cast<std::size_t>(n));
        return true;
    }

    void ReadReports() {
        if (!Drain(m_reportFd, m_reports))
            return;
        while (m_reports.size() - m_at >= kFrameHeader) {
            std::uint64_t size = 0;
            std::memcpy(&size, m_reports.data() + m_at + 1, sizeof size);
            if (m_reports.size() - m_at - kFrameHeader < size)
                break;
            const auto tag = static_cast<Tag>(m_reports[m_at]);
            std::string_view payload(m_reports.data() + m_at + kFrameHeader, size);
            m_at += kFrameHeader + size;
            if (tag == kProgress) {
                const auto done = Take<long long>(payload);
                const auto total = Take<long long>(payload);
                if (m_progress != nullptr)
                    m_progress(done, total, std::string(payload));
            } else if (tag == kStats) {
                m_summary = payload;
            } else {
                m_outcome = tag;
                m_payload = payload;
                m_done = true;
            }
        }
        // Read frames are dropped once they are most of the buffer, so a long image is
        // not moved again with every piece of it that arrives.
        if (m_at > m_reports.size() / 2) {
            m_reports.erase(0, m_at);
            m_at = 0;
        }
    }

    // Only the library's word for a page past the end matters, and the last lines in case
    // the reader dies; the rest is discarded.
    void ReadDiagnostics() {
        const std::size_t kept = m_diag.size();
        if (kept > kDiagnosticsKept)
            m_diag.erase(0, kept - kDiagnosticsKept);
        const std::size_t from = m_diag.size() - std::min(m_diag.size(), kPastTheEnd.size());
        if (Drain(m_diagFd, m_diag) && m_diag.find(kPastTheEnd, from) != std::string::npos)
            m_pastTheEnd = true;
    }

public:
    const std::string& Diagnostics() const { return m_diag; }

private:
    static constexpr std::size_t kDiagnosticsKept = 16384;

    pid_t m_child;
    int m_reportFd;
    int m_diagFd;
    ImportProgress m_progress;
    std::string m_reports;
    std::size_t m_at = 0;
    std::string m_diag;
    bool m_pastTheEnd = false;
    bool m_done = false;
    bool m_reaped = false;
    int m_status = 0;
    Tag m_outcome = kRefused;
    std::string m_payload;
    std::string m_summary;
};

}  // namespace

JetReadLimits JetReadLimitsFor(std::uintmax_t fileSize) {
    // A size that could not be read comes as the largest value: the limits stay finite.
    fileSize = std::min<std::uintmax_t>(fileSize, std::uintmax_t{1} << 40);
    const std::uintmax_t megabytes = fileSize >> 20;
    return {std::chrono::seconds(10 + megabytes), (std::uintmax_t{512} << 20) + 8 * fileSize};
}

std::string CopyJetFileBounded(const std::string& source, const std::string& onlyTable,
                               JetCopyStats& stats, ImportProgress progress,
                               const JetReadLimits& limits) {
    Pipe reports;
    Pipe diagnostics;
    std::fflush(nullptr);  // nothing buffered is written twice
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child < 0)
        throw ImportError(std::string("Cannot start reading the file: ") + std::strerror(errno) +
                          ".");
    if (child == 0) {
        ::close(reports.Read());
        ::close(diagnostics.Read());
        RunChild(parent, reports.Write(), diagnostics.Write(), source, onlyTable,
                 progress != nullptr);
    }
    reports.CloseWrite();
    diagnostics.CloseWrite();
    ChildWatch watch(child, reports.Read(), diagnostics.Read(), progress);
    const ChildWatch::End end = watch.Run(limits);
    switch (end) {
        case ChildWatch::End::PastTheEnd:
            throw JetReaderStopped(CutShortMessage(source));
        case ChildWatch::End::OutOfTime:
            throw JetReaderStopped("'" + source + "' is damaged: reading it did not end within " +
                                   std::to_string(limits.time.count() / 1000) +
                                   " seconds; it cannot be imported.");
        case ChildWatch::End::OutOfMemory:
            throw JetReaderStopped("'" + source + "' is damaged: reading it took more than " +
                                   std::to_string(limits.memoryBytes >> 20) +
                                   " MB of memory; it cannot be imported.");
        case ChildWatch::End::Died:
            throw JetReaderDied("'" + source + "' is damaged: the Jet reader stopped on it (" +
                                    (WIFSIGNALED(watch.Status())
                                         ? "signal " + std::to_string(WTERMSIG(watch.Status()))
                                         : "exit " + std::to_string(WEXITSTATUS(watch.Status()))) +
                                    "); it cannot be imported.",
                                watch.Diagnostics());
        case ChildWatch::End::Reported:
            break;
    }
    if (watch.Outcome() == kNoMemory)
        throw std::bad_alloc();
    if (watch.Outcome() != kImage)
        throw ImportError(watch.Payload());
    std::string_view summary = watch.Summary();
    stats = {};
    stats.rows = Take<long long>(summary);
    while (!summary.empty()) {
        const std::size_t end0 = summary.find('\0');
        stats.tables.emplace_back(summary.substr(0, end0));
        summary.remove_prefix(end0 == std::string_view::npos ? summary.size() : end0 + 1);
    }
    return std::move(watch.Payload());
}
