#pragma once
// The identification answer to "i": "QVD-" prefix, version at positions
// 13-16, serial number at the end, and an author's name to hide.
#include <string>

namespace qvd {

// The service marking: an adapter whose identification ends in this text, or
// whose fourth character from the end is this letter, may open the service
// functions.
inline constexpr const char* kServiceEnding = "7Q3";
inline constexpr char kServiceLetter = 'X';
inline constexpr const char* kMinimumVersion = "1.20";

enum class IdentificationVerdict { Accepted, NotQvd, TooOld };

// A text that does not start with "QVD-" is no QVD module, whatever stands at
// the version's place; otherwise versions below "1.20" (ordinal comparison)
// are too old.
IdentificationVerdict CheckIdentification(const std::string& answer);
bool HasServiceMarking(const std::string& answer);
// The answer without the 19 characters from the first "Dipl".
std::string WithoutAuthor(const std::string& answer);

// The four characters after the first " V" of an identification line (the
// adapter's version, compared as text); empty when there is none.
std::string AdapterVersion(const std::string& identification);

}  // namespace qvd
