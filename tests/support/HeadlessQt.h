#pragma once

#include <QByteArray>
#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

// Test programs with widgets run on Qt's offscreen platform, with the private runtime folder
// Qt asks for and CI machines do not set. Call before making the application object.
inline void UseHeadlessQt() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const std::string dir = "/tmp/tillbook-tests-" + std::to_string(getuid());
        mkdir(dir.c_str(), 0700);
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(dir));
    }
}

// One write per line, unbuffered: what a child wrote is readable after it is killed.
inline void WriteLineNow(const std::string& line) {
    const std::string text = line + "\n";
    if (::write(STDOUT_FILENO, text.data(), text.size()) < 0)
        std::_Exit(3);
}
