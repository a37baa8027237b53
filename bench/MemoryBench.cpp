// The file work of memory transfers, on 1 MiB images: byte sum, split and
// join, cutting a text-form stream into view lines, and a whole EPROM view
// taken in through the window model.
#include "core/form/MainForm.h"
#include "core/memory/ByteSum.h"
#include "core/memory/EpromSplit.h"
#include "core/memory/MemoryView.h"
#include "core/host/VirtualHost.h"
#include "bench/TextDump.h"
#include "testkit/ScratchDir.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using qvd::bench::kMiB;
using qvd::bench::TextDump;

// A folder with a 1 MiB image in it.
struct ScratchImage {
    qvd::test::ScratchDir dir{"qvd-bench"};
    std::string image = dir.Write("image.hex", [] {
        std::string bytes(kMiB, '\0');
        for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31 + (i >> 9));
        return bytes;
    }());
    std::string Path(const char* name) const { return dir / name; }
};

void BM_ByteSumOfFile(benchmark::State& state) {
    ScratchImage scratch;
    for (auto _ : state) benchmark::DoNotOptimize(qvd::SumFile(scratch.image));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kMiB));
}
BENCHMARK(BM_ByteSumOfFile)->Unit(benchmark::kMillisecond);

void BM_SplitEpromImage(benchmark::State& state) {
    ScratchImage scratch;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            qvd::SplitEpromImage(scratch.image, scratch.Path("odd.hex"), scratch.Path("even.hex")));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kMiB));
}
BENCHMARK(BM_SplitEpromImage)->Unit(benchmark::kMillisecond);

void BM_JoinEpromHalves(benchmark::State& state) {
    ScratchImage scratch;
    qvd::SplitEpromImage(scratch.image, scratch.Path("odd.hex"), scratch.Path("even.hex"));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            qvd::JoinEpromImage(scratch.Path("odd.hex"), scratch.Path("even.hex"), scratch.Path("joined.hex")));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kMiB));
}
BENCHMARK(BM_JoinEpromHalves)->Unit(benchmark::kMillisecond);

void BM_CutViewLines(benchmark::State& state) {
    const std::string dump = TextDump();
    for (auto _ : state) {
        qvd::ViewLineCutter cutter;
        size_t lines = 0;
        for (size_t at = 0; at < dump.size(); at += 4096) lines += cutter.Append(std::string_view(dump).substr(at, 4096)).size();
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * dump.size()));
}
BENCHMARK(BM_CutViewLines)->Unit(benchmark::kMillisecond);

// The view as the receive handler fills it: chunks of the size a serial
// driver hands over, each cut and appended with one change notice. At 1/4,
// 1 and 4 MiB of cells, so that the time per byte shows the cost is linear.
void BM_WholeEpromViewIntoTheModel(benchmark::State& state) {
    const std::string dump = TextDump(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        qvd::VirtualHost host;
        qvd::EventPump pump(host);
        qvd::MainForm form(pump);
        qvd::ViewLineCutter cutter;
        for (size_t at = 0; at < dump.size(); at += 64)
            form.epromView.AddLines(cutter.Append(std::string_view(dump).substr(at, 64)));
        benchmark::DoNotOptimize(form.epromView.lines.size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * dump.size()));
}
BENCHMARK(BM_WholeEpromViewIntoTheModel)->Arg(kMiB / 4)->Arg(kMiB)->Arg(4 * kMiB)->Unit(benchmark::kMillisecond);

}  // namespace
