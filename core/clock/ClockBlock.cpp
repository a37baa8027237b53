#include "core/clock/ClockBlock.h"

#include "core/wire/AnswerFields.h"

namespace qvd {

namespace {

// 1-based positions within the block; 0 = the layout has no such field.
struct BlockLayout {
    size_t hours, minutes, seconds, day, month, year;
    size_t weekday, extra;  // one character each
    size_t marker;          // six characters
    size_t readLength, setLength;
};

constexpr BlockLayout kRtc{13, 15, 17, 10, 8, 6, 0, 0, 13, 18, 24};
// The Timekeeper's registers in chip order, seconds first.
constexpr BlockLayout kTimekeeper{7, 5, 3, 11, 13, 15, 0, 0, 3, 16, 22};
// The adp marker covers the year's units digit, month, day and weekday, not
// the time: that is where the adapter reports an unreadable adp clock.
constexpr BlockLayout kAdp{9, 11, 13, 6, 4, 2, 8, 1, 3, 14, 20};

const BlockLayout* Find(ClockLayout layout) {
    switch (layout) {
        case ClockLayout::Rtc: return &kRtc;
        case ClockLayout::Timekeeper: return &kTimekeeper;
        case ClockLayout::Adp: return &kAdp;
        case ClockLayout::None: break;
    }
    return nullptr;
}

std::string At(const std::string& answer, size_t offset, size_t pos, size_t len) {
    if (pos == 0) return {};
    return Field(answer, offset + pos - 1, len);
}

}  // namespace

size_t ReadAnswerLength(ClockLayout layout) {
    const BlockLayout* b = Find(layout);
    return b ? b->readLength : 0;
}

size_t SetAnswerLength(ClockLayout layout) {
    const BlockLayout* b = Find(layout);
    return b ? b->setLength : 0;
}

ClockFields DecodeClockBlock(ClockLayout layout, const std::string& answer, size_t offset) {
    const BlockLayout* b = Find(layout);
    if (!b) return {};
    ClockFields f;
    f.hours = At(answer, offset, b->hours, 2);
    f.minutes = At(answer, offset, b->minutes, 2);
    f.seconds = At(answer, offset, b->seconds, 2);
    f.day = At(answer, offset, b->day, 2);
    f.month = At(answer, offset, b->month, 2);
    f.year = At(answer, offset, b->year, 2);
    f.weekday = At(answer, offset, b->weekday, 1);
    f.extra = At(answer, offset, b->extra, 1);
    return f;
}

std::string ClockText(const ClockFields& f) {
    std::string text = f.hours + ":" + f.minutes + ":" + f.seconds + "  " + f.day + "." + f.month +
                       ".20" + f.year;
    if (text.size() > 20) text.resize(20);
    return text;
}

bool HasInvalidTimeMarker(ClockLayout layout, const std::string& answer) {
    const BlockLayout* b = Find(layout);
    return b && At(answer, kReadBlockOffset, b->marker, 6) == "FFFFFF";
}

std::string RegisterCharacters(ClockLayout layout, const std::string& answer, size_t offset) {
    if (layout == ClockLayout::Rtc) return At(answer, offset, 1, 3);
    if (layout == ClockLayout::Timekeeper)
        return At(answer, offset, 1, 3) + At(answer, offset, 9, 2);
    return {};
}

std::optional<std::vector<std::string>> ClockSetCommands(ClockLayout layout, const ClockInput& in,
                                                         const std::string& pcSeconds) {
    // The window joins the fields and wants exactly 10 (adp: 12) characters.
    // Checking each field's width is the same test within the fields' maximum
    // lengths, and keeps every command at four characters after its letter.
    for (const std::string* two : {&in.year, &in.month, &in.day, &in.hours, &in.minutes})
        if (two->size() != 2) return std::nullopt;
    if (layout == ClockLayout::Adp) {
        if (in.weekday.size() != 1 || in.extra.size() != 1) return std::nullopt;
        // Four pieces of the 14-character adp block: 7-8, 1-4, 5-6 + 9-10, 11-14.
        return std::vector<std::string>{
            "k00" + in.day.substr(1, 1) + in.weekday,
            "o" + in.extra + in.year + in.month.substr(0, 1),
            "p" + in.month.substr(1, 1) + in.day.substr(0, 1) + in.hours,
            "q" + in.minutes + pcSeconds,
        };
    }
    std::vector<std::string> commands{"o" + in.year + in.month, "p" + in.day + in.hours};
    if (layout == ClockLayout::Rtc || layout == ClockLayout::Timekeeper)
        commands.push_back("q" + in.minutes + pcSeconds);
    return commands;
}

}  // namespace qvd
