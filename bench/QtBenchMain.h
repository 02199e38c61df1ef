#pragma once

#include <functional>

// Runs the registered benchmarks inside a QApplication, on the offscreen platform unless the
// environment names one; `prepare` runs once the application exists, before the first one.
int RunQtBenchmarks(int argc, char** argv, const std::function<void()>& prepare = {});
