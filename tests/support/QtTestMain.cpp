#include <gtest/gtest.h>

#include <QApplication>

#include "UiTestSupport.h"

// Widget tests need an application object; CTest runs them on the offscreen platform.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tillbook"));
    ::testing::InitGoogleTest(&argc, argv);
    FailOnUnexpectedModalRuns();
    return RUN_ALL_TESTS();
}
