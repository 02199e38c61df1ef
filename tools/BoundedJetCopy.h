#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>

#include "JetCopy.h"

// libmdb reads a damaged or cut-short file without knowing it: inside its own calls it
// can loop for ever, grow its memory without end or crash, and a page past the end is
// only reported on stderr ("offset ... is beyond EOF") while it goes on with stale bytes.
// So the copy runs in a child process that the import watches: it is stopped when it
// outlives its time or memory, and its diagnostics are read for pages past the end.

// The reader was stopped: it outlived its time or memory, or read past the end.
class JetReaderStopped : public ImportError {
public:
    using ImportError::ImportError;
};

// The reader ended without its own word: a crash, or a sanitizer's report in a test build.
class JetReaderDied : public ImportError {
public:
    JetReaderDied(const std::string& message, std::string diagnostics)
        : ImportError(message), m_diagnostics(std::move(diagnostics)) {}
    // The last of what it wrote on stderr, for a test harness to show.
    const std::string& Diagnostics() const { return m_diagnostics; }

private:
    std::string m_diagnostics;
};

struct JetReadLimits {
    std::chrono::milliseconds time;
    std::uintmax_t memoryBytes;  // over what the process held when the read began
};

// Generous for a sound file of `fileSize` bytes (which reads in well under a second per
// megabyte), tight enough that a damaged one is refused within seconds.
JetReadLimits JetReadLimitsFor(std::uintmax_t fileSize);

// CopyJetFile in a child process within `limits`; the same result, or ImportError with
// the reason: the child's own refusal, the cut-short message when libmdb read past the
// end, or a damaged file that took too long, too much memory or stopped the reader.
// `progress` is told in this process.
std::string CopyJetFileBounded(const std::string& source, const std::string& onlyTable,
                               JetCopyStats& stats, ImportProgress progress,
                               const JetReadLimits& limits);
