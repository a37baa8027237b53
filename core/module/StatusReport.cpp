#include "core/module/StatusReport.h"

#include "core/wire/Text.h"


namespace qvd {

namespace {

void AddLine(std::string& out, const std::string& line) {
    out += ToWire(line);
    out += "\r\n";
}

// An empty memo still stands as one empty line, as its text would.
void AddMemo(std::string& out, const std::vector<std::string>& lines) {
    if (lines.empty()) AddLine(out, "");
    for (const std::string& line : lines) AddLine(out, line);
}

}  // namespace

std::string StatusReportBytes(const std::vector<std::string>& infoLines, const std::string& lastStatus,
                              const std::vector<std::string>& logLines) {
    std::string out;
    AddLine(out, std::string(18, '*') + " QVD-Modul Infos " + std::string(25, '*'));
    AddMemo(out, infoLines);
    // The label shows the poll answer whole, its closing CR included; the
    // file's own line end follows instead.
    std::string status = lastStatus;
    while (!status.empty() && (status.back() == '\r' || status.back() == '\n')) status.pop_back();
    AddLine(out, "Checksumme A,B,C,D : " + status);
    AddLine(out, "");
    AddLine(out, std::string(18, '*') + " QVD-PC Status " + std::string(27, '*'));
    AddLine(out, "");
    AddMemo(out, logLines);
    return out;
}

}  // namespace qvd
