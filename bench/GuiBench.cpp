// The interactive path as the user feels it: a slider change runs the
// recalculation and the plot then paints to the end, on the offscreen
// platform. Measured on the Fender and Bench pages at each resolution.

#include <cstdlib>
#include <string>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSlider>
#include <QTabWidget>

#include "app/MainWindow.h"
#include "plot/Plotter.h"

using namespace cva;

namespace {

TfrmMain *Window = nullptr;

const char *ResolutionName(int step)
{
    switch (step) {
    case ResolutionLow:
        return "Low";
    case ResolutionMedium:
        return "Medium";
    default:
        return "High";
    }
}

void BM_SliderToPaint(benchmark::State &state)
{
    const auto topology = static_cast<int>(state.range(0));
    const int step = static_cast<int>(state.range(1));
    Window->Pages()->setCurrentIndex(static_cast<int>(topology));
    Window->SetResolution(step);
    QSlider *treble = Window->Slider(BuiltInControl::Treble);
    TPlotter *plotter = Window->Plotter();
    QApplication::processEvents();

    int position = 40;
    for (auto _ : state) {
        // Every turn is a real change, so the handler runs each time.
        position = position == 40 ? 60 : 40;
        treble->setValue(position);
        plotter->repaint();
    }
    state.SetLabel(std::string(TCatalogue().Page(topology).TabCaption) + ", " + ResolutionName(step));
}

} // namespace

int main(int argc, char **argv)
{
    // Benchmark options are taken out first; Qt sees the rest.
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    TfrmMain window;
    window.show();
    QApplication::processEvents();
    Window = &window;

    for (int topology : {PageNamed("Fender"), PageNamed("Bench")})
        for (int step : {ResolutionLow, ResolutionMedium, ResolutionHigh})
            benchmark::RegisterBenchmark("BM_SliderToPaint", BM_SliderToPaint)
                ->Args({static_cast<int>(topology), step})
                ->Unit(benchmark::kMicrosecond);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // Nothing to save: leave without the question on close.
    Window = nullptr;
    return EXIT_SUCCESS;
}
