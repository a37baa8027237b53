// How much real time a whole virtual exchange costs, and the answer parsers.
#include "core/program/Program.h"
#include "core/module/AdapterInfo.h"
#include "core/wire/StatusCodes.h"
#include "sim/VirtualPort.h"

#include <benchmark/benchmark.h>

namespace {

void BM_StatusPollOnVirtualTime(benchmark::State& state) {
    qvd::VirtualHost host;
    qvd::sim::VirtualPorts ports(host);
    ports.AddAdapter("COM1");
    qvd::Program program(host, ports.Factory(), [](int n) { return "COM" + std::to_string(n); });
    program.serialPort.SetPortNum(1);
    program.serialPort.Open();
    for (auto _ : state) benchmark::DoNotOptimize(program.exchange.ExchangeCommand("r", 18));
}
BENCHMARK(BM_StatusPollOnVirtualTime);

void BM_StatusCodeText(benchmark::State& state) {
    const char* codes[] = {"FF", "18", "0a", "--", "39", "7Z"};
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(qvd::StatusCodeText(codes[i++ % 6]));
}
BENCHMARK(BM_StatusCodeText);

}  // namespace
