// Feeds arbitrary device answers to the parsers and to a whole adapter
// search: nothing may crash, hang or read out of bounds.
#include "core/module/AdapterInfo.h"
#include "core/module/Identification.h"
#include "core/wire/StatusCodes.h"
#include "core/wire/Text.h"
#include "testkit/Rig.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// Splits the input at 0x00 0xFF pairs into answers.
std::vector<std::string> Pieces(const uint8_t* data, size_t size) {
    std::vector<std::string> out(1);
    for (size_t i = 0; i < size; ++i) {
        if (i + 1 < size && data[i] == 0x00 && data[i + 1] == 0xFF) {
            out.emplace_back();
            ++i;
        } else {
            out.back() += static_cast<char>(data[i]);
        }
    }
    return out;
}

void Parsers(const std::string& answer) {
    qvd::StatusCodeText(answer);
    qvd::StatusLine(answer.substr(0, 2));
    qvd::ErrorMemoryLines(answer);
    qvd::ErrorCodes1AtoFLine(answer);
    qvd::CounterLines(answer);
    qvd::CheckIdentification(answer);
    qvd::HasServiceMarking(answer);
    qvd::WithoutAuthor(answer);
    if (qvd::ToWire(qvd::FromWire(answer)) != answer) __builtin_trap();
}

void Search(const std::vector<std::string>& answers) {
    qvd::test::Rig rig;
    // The search never reads memory: made on demand, the device costs
    // nothing for it (a BW module's 576 KiB of memory made for every input
    // was nine tenths of this target's time).
    qvd::sim::DeviceConfig config;
    config.memoryOnDemand = true;
    auto& device = rig.AddAdapter(1, config);
    const char* commands[] = {"i", "r", "f", "x", "X", "s"};
    for (size_t i = 0; i < answers.size() && i < 6; ++i) device.faults.replaceOnce[commands[i]] = answers[i];
    if (answers.size() > 6) device.faults.extraAfterEcho = answers[6];
    rig.form().searchButton.OnClick();
    // A few polls on whatever state the search left.
    rig.host.RunFor(3000);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> answers = Pieces(data, size);
    for (const std::string& a : answers) Parsers(a);
    Search(answers);
    return 0;
}
