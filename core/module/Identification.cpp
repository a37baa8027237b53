#include "core/module/Identification.h"

#include "core/wire/AnswerFields.h"

namespace qvd {

IdentificationVerdict CheckIdentification(const std::string& answer) {
    if (Field(answer, 1, 4) != "QVD-") return IdentificationVerdict::NotQvd;
    if (Field(answer, 13, 4) < kMinimumVersion) return IdentificationVerdict::TooOld;
    return IdentificationVerdict::Accepted;
}

bool HasServiceMarking(const std::string& answer) {
    const size_t n = answer.size();
    if (n >= 3 && answer.compare(n - 3, 3, kServiceEnding) == 0) return true;
    return n >= 4 && answer[n - 4] == kServiceLetter;
}

std::string WithoutAuthor(const std::string& answer) {
    const size_t at = answer.find("Dipl");
    if (at == std::string::npos) return answer;
    return answer.substr(0, at) + (at + 19 < answer.size() ? answer.substr(at + 19) : "");
}

std::string AdapterVersion(const std::string& identification) {
    const size_t at = identification.find(" V");
    if (at == std::string::npos) return {};
    return identification.substr(at + 2, 4);
}

}  // namespace qvd
