#include <gtest/gtest.h>

#include <QApplication>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "support/UiTestSupport.h"

// Widget tests need an application object; CTest runs them on the offscreen platform.
int main(int argc, char** argv) {
    // Headless also when CTest only asks for the list of tests.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A private runtime folder, which Qt asks for and CI machines do not set.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const std::string dir = "/tmp/tillbook-tests-" + std::to_string(getuid());
        mkdir(dir.c_str(), 0700);
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(dir));
    }
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tillbook"));
    ::testing::InitGoogleTest(&argc, argv);
    FailOnUnexpectedModalRuns();
    return RUN_ALL_TESTS();
}
