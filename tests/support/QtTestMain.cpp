#include <gtest/gtest.h>

#include <QApplication>

#include "UiTestSupport.h"

// Widget tests need an application object; CTest runs them on the offscreen platform.
int main(int argc, char** argv) {
    // Headless also when CTest only asks for the list of tests.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tillbook"));
    ::testing::InitGoogleTest(&argc, argv);
    FailOnUnexpectedModalRuns();
    return RUN_ALL_TESTS();
}
