#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

// main() of a benchmark that draws widgets: a GUI application on the offscreen platform.
#define VELMORA_QT_BENCHMARK_MAIN()                                                                                  \
    int main(int argc, char** argv)                                                                                  \
    {                                                                                                                \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                                     \
        QApplication app(argc, argv);                                                                                \
        benchmark::Initialize(&argc, argv);                                                                          \
        benchmark::RunSpecifiedBenchmarks();                                                                         \
        benchmark::Shutdown();                                                                                       \
        return 0;                                                                                                    \
    }
