#include "core/module/AdapterInfo.h"

#include "core/wire/StatusCodes.h"

#include "core/wire/Text.h"
#include "core/wire/AnswerFields.h"

namespace qvd {

std::string StatusLine(const std::string& code) {
    return "Status(" + FromWire(code) + ") = " + StatusCodeText(code);
}

std::vector<std::string> ErrorMemoryLines(const std::string& x) {
    return {
        "Fehlermeldungen:",
        "Fehlercode 00...09: " + FromWire(Field(x, 1, 20)),
        "Fehlercode 10...19: " + FromWire(Field(x, 21, 20)),
        "Fehlercode 20...29: " + FromWire(Field(x, 41, 20)),
        "Fehlercode 30...39: " + FromWire(Field(x, 61, 20)),
    };
}

std::string ErrorCodes1AtoFLine(const std::string& bigX) {
    return "Fehlercode 1A...1F: " + FromWire(bigX);
}

std::vector<std::string> CounterLines(const std::string& s) {
    return {
        "Zählerstände:",
        "RAM Lesezugriffe   : " + FromWire(Field(s, 1, 6)),
        "RAM Schreibzugriffe: " + FromWire(Field(s, 7, 6)),
        "RTC Lesezugriffe   : " + FromWire(Field(s, 13, 6)),
        "RTC Schreibzugriffe: " + FromWire(Field(s, 19, 6)),
        "EPROM Lesezugriffe : " + FromWire(Field(s, 25, 6)),
    };
}

}  // namespace qvd
