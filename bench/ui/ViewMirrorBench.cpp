// The EPROM view's widget kept up with its model while a whole memory dump
// streams in: each chunk of lines is appended, never the whole text set
// again, so the cost per byte stays the same however long the view grows.
#include "core/form/MainForm.h"
#include "core/host/VirtualHost.h"
#include "bench/TextDump.h"
#include "core/memory/MemoryView.h"
#include "ui/MirrorFactory.h"

#include <QApplication>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <string_view>

namespace {

using qvd::bench::kMiB;
using qvd::bench::TextDump;

// Chunks of 4 KiB, about what arrives between two event-loop turns when the
// adapter streams unpaced; each one updates the widget once.
void BM_WholeEpromViewIntoTheWidget(benchmark::State& state) {
    const std::string dump = TextDump(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        qvd::VirtualHost host;
        qvd::EventPump pump(host);
        qvd::MainForm form(pump);
        const auto mirror = qvd::ui::CreateWidgetMirror(form.epromView, nullptr, nullptr,
                                                        [](const std::function<void()>& fn) { fn(); });
        const std::unique_ptr<QWidget> widget(mirror->widget());
        qvd::ViewLineCutter cutter;
        for (size_t at = 0; at < dump.size(); at += 4096) {
            form.epromView.AddLines(cutter.Append(std::string_view(dump).substr(at, 4096)));
            mirror->Update();
        }
        benchmark::DoNotOptimize(form.epromView.lines.size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * dump.size()));
}
BENCHMARK(BM_WholeEpromViewIntoTheWidget)->Arg(kMiB / 4)->Arg(kMiB)->Arg(2 * kMiB)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
