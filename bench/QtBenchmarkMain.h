#pragma once

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <benchmark/benchmark.h>

// Notes that a widget was painted, for the benchmarks that time a reply to its pixels.
class PaintWatch final : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            painted = true;
        return false;
    }
    bool painted = false;
};

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
