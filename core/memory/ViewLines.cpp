#include "core/memory/ViewLines.h"

#include <utility>

namespace qvd {

std::vector<std::string> ViewLineCutter::Append(std::string_view chunk) {
    std::vector<std::string> lines;
    size_t from = 0;
    for (size_t cr = chunk.find('\r'); cr != std::string_view::npos;
         cr = chunk.find('\r', from)) {
        const std::string_view tail = chunk.substr(from, cr + 1 - from);
        if (pending_.empty()) {
            lines.emplace_back(tail);
        } else {
            pending_.append(tail);
            lines.push_back(std::move(pending_));
            pending_.clear();
        }
        from = cr + 1;
    }
    pending_.append(chunk.substr(from));
    return lines;
}

std::string ViewLineCutter::TakeRest() {
    std::string rest = std::move(pending_);
    pending_.clear();
    return rest;
}

std::string RangeHeaderLine(bool ram, const std::string& start4, const std::string& end4) {
    return std::string(ram ? "****************** RAM-Teilbereich ("
                           : "****************** EPROM-Teilbereich (") +
           start4 + "00h..." + end4 + "00h): *************************";
}

std::string ViewFileBytes(const std::vector<std::string>& lines) {
    size_t total = 0;
    for (const std::string& line : lines) total += line.size() + 2;
    std::string out;
    out.reserve(total);
    for (const std::string& line : lines) {
        size_t end = line.size();
        while (end > 0 && (line[end - 1] == '\r' || line[end - 1] == '\n')) --end;
        out.append(line, 0, end);
        out += "\r\n";
    }
    return out;
}

}  // namespace qvd
