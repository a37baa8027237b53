#include "core/memory/MemoryView.h"

#include "core/wire/Hex.h"

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

namespace qvd {

namespace {

// The hex digits before the first colon; nullopt when there are none, more
// than eight, or anything else.
std::string_view WithoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    return line;
}

std::optional<uint64_t> LineAddress(std::string_view line) {
    while (!line.empty() && (line.front() == '\n' || line.front() == ' ')) line.remove_prefix(1);
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    return ParseHex(line.substr(0, colon), 8);
}

}  // namespace

void DumpCheck::Line(std::string_view line) {
    const std::optional<uint64_t> address = LineAddress(line);
    if (!address) {
        strayed_ = true;
    } else if (lines_ == 0) {
        strayed_ = strayed_ || *address != first_;
    } else if (lines_ == 1) {
        strayed_ = strayed_ || *address <= last_;
        step_ = *address - last_;
    } else {
        strayed_ = strayed_ || *address != last_ + step_;
    }
    if (address) last_ = *address;
    if (lines_ == 0) firstLength_ = WithoutLineEnd(line).size();
    ++lines_;
}

void DumpCheck::Rest(std::string_view rest) {
    const bool shorter = WithoutLineEnd(rest).size() < firstLength_;
    Line(rest);
    const bool memoryEnds = lines_ > 1 && last_ + step_ > end_;
    cut_ = lines_ == 1 || (shorter && !memoryEnds);
}

DumpCheck::Verdict DumpCheck::Judge() const {
    if (end_ <= first_) return strayed_ ? Verdict::OtherAddresses : Verdict::Whole;
    if (strayed_) return Verdict::OtherAddresses;
    if (lines_ == 0 || cut_) return Verdict::Incomplete;
    if (lines_ == 1) return Verdict::Whole;  // no step to judge the end by
    if (last_ >= end_) return Verdict::OtherAddresses;
    return last_ + step_ < end_ ? Verdict::Incomplete : Verdict::Whole;
}

std::optional<uint64_t> RangeFieldCells(const std::string& field4) {
    const std::optional<uint64_t> value = ParseHex(field4, 4);
    if (!value) return std::nullopt;
    return *value * 256;
}

}  // namespace qvd
