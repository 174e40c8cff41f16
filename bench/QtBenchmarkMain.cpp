// The main of the benchmarks that use windows or painters: Qt wants its application object
// before any widget, font or printer exists.

#include <benchmark/benchmark.h>

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
