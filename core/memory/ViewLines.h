#pragma once
// The adapter's text-form memory read ("view"): cutting the stream into
// lines, the header line of a range read, and the bytes of a saved view.
// Everything is wire bytes (Windows-1252); nothing is converted here.
#include <string>
#include <string_view>
#include <vector>

namespace qvd {

// Lines end at CR. Each line keeps its CR; text after the last CR waits for
// the next chunk. Work is linear in the stream: the waiting piece is only
// touched again when its CR arrives.
class ViewLineCutter {
public:
    std::vector<std::string> Append(std::string_view chunk);
    // The unfinished piece at the end of a read; the cutter starts empty.
    std::string TakeRest();

private:
    std::string pending_;
};

// start4 and end4 are the four hex digits of the range fields; the line
// carries no CR.
std::string RangeHeaderLine(bool ram, const std::string& start4, const std::string& end4);

// Each line followed by exactly one CR LF. A line's own trailing CRs and
// LFs are dropped first, so the file never holds "\r\r\n".
std::string ViewFileBytes(const std::vector<std::string>& lines);

}  // namespace qvd
