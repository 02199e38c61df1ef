#include <gtest/gtest.h>

#include <QApplication>

#include "support/HeadlessQt.h"
#include "support/UiTestSupport.h"

// Widget tests need an application object; CTest runs them on the offscreen platform.
int main(int argc, char** argv) {
    // Headless also when CTest only asks for the list of tests.
    UseHeadlessQt();
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tillbook"));
    ::testing::InitGoogleTest(&argc, argv);
    FailOnUnexpectedModalRuns();
    return RUN_ALL_TESTS();
}
