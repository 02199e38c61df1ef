#include "QtBenchMain.h"

#include <benchmark/benchmark.h>

#include <QApplication>

int RunQtBenchmarks(int argc, char** argv, const std::function<void()>& prepare) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (prepare)
        prepare();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
