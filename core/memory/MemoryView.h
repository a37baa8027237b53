#pragma once
// The adapter's text-form memory read ("view"): cutting the stream into
// lines, the header line of a range read, and the bytes of a saved view.
// Everything is wire bytes (Windows-1252); nothing is converted here.
#include <cstdint>
#include <optional>
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

namespace qvd {

// Whether a view read brought the dump that was asked for. The dump's layout
// is the adapter's; what every line has is its first cell's address in hex
// before a colon, and consecutive lines a constant step. From that alone the
// check tells a dump cut short, or one of another range (a lost "o" or "p"),
// from a whole one.
class DumpCheck {
public:
    // Cells [firstCell, endCell); endCell <= firstCell expects nothing.
    DumpCheck(uint64_t firstCell, uint64_t endCell) : first_(firstCell), end_(endCell) {}
    // One complete line as received (its CR may still be on it).
    void Line(std::string_view line);
    // What came after the last CR when the stream ended: a line cut short,
    // unless it is as long as the first, or the memory's shorter last line.
    void Rest(std::string_view rest);

    enum class Verdict { Whole, Incomplete, OtherAddresses };
    Verdict Judge() const;

private:
    uint64_t first_, end_;
    uint64_t lines_ = 0;
    uint64_t last_ = 0;  // address of the latest line
    uint64_t step_ = 0;  // cells a line, from the first two lines
    size_t firstLength_ = 0;
    bool strayed_ = false;
    bool cut_ = false;
};

// Cells of the range fields' four hex digits (units of 256 cells); nullopt
// for anything but hex digits.
std::optional<uint64_t> RangeFieldCells(const std::string& field4);

}  // namespace qvd
