#pragma once
// The status report file: the info window, the last status answer and the
// whole log in one text file, to be passed on for diagnosis.
#include <string>
#include <vector>

namespace qvd {

// The file's bytes: Windows-1252, CR LF after every line, the last one too.
// The texts are the window's (UTF-8).
std::string StatusReportBytes(const std::vector<std::string>& infoLines, const std::string& lastStatus,
                              const std::vector<std::string>& logLines);

}  // namespace qvd
