#pragma once
// The wire and the files speak Windows-1252; the window speaks UTF-8. The
// conversion is lossless both ways, also for the five byte values that
// Windows-1252 leaves undefined (they map to the C1 controls U+0081 etc.).
#include <string>

namespace qvd {

std::string FromWire(const std::string& cp1252);
// Characters without a Windows-1252 byte become '?'.
std::string ToWire(const std::string& utf8);

}  // namespace qvd
