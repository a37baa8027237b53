// How much real time a whole virtual exchange costs, and the answer parsers.
#include "core/module/AdapterInfo.h"
#include "core/wire/StatusCodes.h"
#include "testkit/Rig.h"

#include <benchmark/benchmark.h>

namespace {

void BM_StatusPollOnVirtualTime(benchmark::State& state) {
    qvd::test::Rig rig(qvd::test::Rig::Opened);
    for (auto _ : state) benchmark::DoNotOptimize(rig.program->exchange.ExchangeCommand("r", qvd::sim::kStatusAnswerBytes));
}
BENCHMARK(BM_StatusPollOnVirtualTime);

void BM_StatusCodeText(benchmark::State& state) {
    const char* codes[] = {"FF", "18", "0a", "--", "39", "7Z"};
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(qvd::StatusCodeText(codes[i++ % 6]));
}
BENCHMARK(BM_StatusCodeText);

}  // namespace
