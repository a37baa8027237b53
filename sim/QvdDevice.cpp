#include "sim/QvdDevice.h"

#include <cstdio>

namespace qvd::sim {

namespace {

// Days since 2000-01-01 for a date of this century (civil calendar).
int64_t DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 - 10957;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468 + 10957;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

std::string Two(int v) {
    char s[8];
    std::snprintf(s, sizeof s, "%02d", v % 100);
    return s;
}

std::string Hex2(int v) {
    char s[8];
    std::snprintf(s, sizeof s, "%02X", v & 0xFF);
    return s;
}

int Digits(const std::string& s, size_t pos, size_t len) {
    int v = 0;
    for (size_t i = pos; i < pos + len && i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return -1;
        v = v * 10 + (s[i] - '0');
    }
    return v;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

}  // namespace

QvdDevice::QvdDevice(DeviceConfig cfg, Clock clock) : config(std::move(cfg)), clock_(std::move(clock)) {
    if (!config.memoryOnDemand) {
        Memory(false);
        Memory(true);
    }
    SetClock({config.year, config.month, config.day, config.hour, config.minute, config.second,
              config.weekday});
}

int64_t QvdDevice::Seconds() const {
    return clockBase_ + static_cast<int64_t>((clock_() - clockOrigin_) / 1000);
}

QvdDevice::ClockNow QvdDevice::ReadClock() const {
    const int64_t now = Seconds();
    int64_t days = now / 86400;
    int64_t rest = now % 86400;
    ClockNow c{};
    CivilFromDays(days, c.year, c.month, c.day);
    c.year %= 100;
    c.hour = static_cast<int>(rest / 3600);
    c.minute = static_cast<int>(rest / 60 % 60);
    c.second = static_cast<int>(rest % 60);
    c.weekday = static_cast<int>((days + 5 + weekdayShift_) % 7) + 1;  // 2000-01-01 was a Saturday (6)
    return c;
}

void QvdDevice::SetWeekday(int weekday) {
    // The weekday is a register of its own, written apart from the date.
    if (weekday < 1 || weekday > 7) return;
    const int calendar = static_cast<int>((Seconds() / 86400 + 5) % 7);
    weekdayShift_ = (weekday - 1 - calendar + 7) % 7;
}

void QvdDevice::SetClock(const ClockNow& c) {
    // Out-of-range values (a typed hour of 25) roll over like a real chip would
    // not; the model only needs to stay defined.
    clockOrigin_ = clock_();
    clockBase_ = DaysFromCivil(2000 + c.year % 100, c.month < 1 || c.month > 12 ? 1 : c.month,
                               c.day < 1 || c.day > 31 ? 1 : c.day) * 86400 +
                 static_cast<int64_t>(c.hour) * 3600 + c.minute * 60 + c.second;
    SetWeekday(c.weekday);
}

int QvdDevice::Layout() const {
    return static_cast<int>(ModuleOf(adpMode ? kAdpType : config.moduleType).clock);
}

std::string QvdDevice::ClockBlock(int layout) const {
    const ClockNow c = ReadClock();
    const char hexChars[] = "0123456789ABCDEF";
    std::string block;
    switch (layout) {
        case 1:
            block = std::string(1, hexChars[rtcCF & 0xF]) + hexChars[rtcCE & 0xF] +
                    hexChars[rtcCD & 0xF] + "00" + Two(c.year) + Two(c.month) + Two(c.day) +
                    std::to_string(c.weekday % 10) + Two(c.hour) + Two(c.minute) + Two(c.second);
            if (faults.clockUnreadable) block.replace(12, 6, "FFFFFF");
            break;
        case 2: {
            std::string seconds = Two(c.second);
            if (tkStop) seconds[0] = static_cast<char>(seconds[0] + 8);
            block = Hex2(tkControl) + seconds + Two(c.minute) + Two(c.hour) +
                    Hex2((tkDay & 0x40) | (c.weekday & 7)) + Two(c.day) + Two(c.month) + Two(c.year);
            if (faults.clockUnreadable) block.replace(2, 6, "FFFFFF");
            break;
        }
        case 3:
            block = std::to_string(adpExtra % 10) + Two(c.year) + Two(c.month) + Two(c.day) +
                    std::to_string(c.weekday % 10) + Two(c.hour) + Two(c.minute) + Two(c.second);
            if (faults.clockUnreadable) block.replace(2, 6, "FFFFFF");
            break;
        default:
            break;
    }
    return block;
}

void QvdDevice::Receive(const std::string& bytes) {
    if (vanished) return;
    ExpireImage();
    size_t i = 0;
    while (i < bytes.size() && !vanished) {
        if (imageOpen_) {
            // Image bytes are data, not command text.
            i = TakeImage(bytes, i);
            continue;
        }
        const char ch = bytes[i++];
        const unsigned char b = static_cast<unsigned char>(ch);
        if (line_.empty() && b == 0xDF) {
            received.push_back("<DF>");  // release: no answer
            continue;
        }
        if (line_.empty() && b == 0xF6) {
            received.push_back("<F6>");
            if (!faults.silent) {
                if (send) send(faults.garbageBeforeEcho + std::string(1, ch) + faults.extraAfterEcho);
            }
            continue;
        }
        if (ch == '\r') {
            const std::string command = line_;
            line_.clear();
            received.push_back(command);
            HandleCommand(command);
            continue;
        }
        line_ += ch;
        if (line_.size() > 300) line_.clear();  // runaway garbage
    }
}

void QvdDevice::Reply(const std::string& command, std::string answer) {
    if (faults.silent || vanished) return;
    auto replaced = faults.replaceOnce.find(command);
    if (replaced != faults.replaceOnce.end()) {
        answer = replaced->second;
        faults.replaceOnce.erase(replaced);
    }
    auto delta = faults.lengthDelta.find(command);
    if (delta != faults.lengthDelta.end()) {
        if (delta->second < 0) answer.resize(answer.size() - std::min<size_t>(answer.size(), -delta->second));
        else answer.append(static_cast<size_t>(delta->second), '#');
    }
    if (!answer.empty() && send) send(answer);
}

void QvdDevice::HandleCommand(const std::string& command) {
    if (const auto lost = faults.loseOnce.find(command); lost != faults.loseOnce.end()) {
        faults.loseOnce.erase(lost);
        received.back() += " (verloren)";
        return;
    }
    if (MemoryCommand(command)) return;
    std::optional<std::string> answer = Answer(command);
    if (!answer) {
        if (onUnknownCommand) onUnknownCommand(command);
        return;
    }
    Reply(command, *answer);
}

std::optional<std::string> QvdDevice::Answer(const std::string& cmd) {
    const std::string ack = cmd.size() == 5 ? cmd + "\r" : (cmd + "      ").substr(0, 5) + "\r";
    if (cmd.empty()) return std::string();
    const char letter = cmd[0];
    const int layout = Layout();

    if (cmd == "i")
        return "QVD-BW/NSM V" + config.version.substr(0, 4) + " Dipl.-Ing. K. Mayer SN:00" + config.serial;
    if (cmd == "r") {
        ++polls;
        if (faults.answerPollsThenSilent && polls > *faults.answerPollsThenSilent) return std::string();
        if (polls >= faults.lostPollsFrom && polls < faults.lostPollsFrom + faults.lostPolls) {
            received.back() += " (verloren)";  // never arrived; kept apart for whoever reads the record
            return std::string();
        }
        std::string code = config.statusCode;
        if (!faults.statusSequence.empty()) {
            code = faults.statusSequence.front();
            faults.statusSequence.erase(faults.statusSequence.begin());
        }
        std::string answer = StatusAnswer(code, adpMode ? kAdpType : config.moduleType, config.checksum);
        if (const auto spoilt = faults.spoiltPolls.find(polls); spoilt != faults.spoiltPolls.end()) {
            if (spoilt->second.delta < 0) answer.pop_back();
            if (spoilt->second.delta > 0) answer += '#';
            answer = spoilt->second.prefix + answer;
        }
        return answer;
    }
    if (cmd == "x") return config.errorMemory;
    if (cmd == "X") return config.errorMemory1A;
    if (cmd == "s") return config.counters;
    if (cmd == "yRbWk") {
        config.errorMemory = std::string(80, '0');
        config.errorMemory1A = std::string(12, '0');
        return ack;
    }
    if (cmd == "w0001") {
        if (faults.refuseErrorReset) return std::string();
        config.statusCode = "FF";
        return ack;
    }
    if (cmd == "z0001") {
        config.statusCode = "FF";
        return ack;
    }
    if (cmd == "a0001") { adpMode = true; return ack; }
    if (cmd == "a0000") { adpMode = false; return ack; }
    if (cmd == "d0000" || cmd == "d0001") {
        textForm = cmd == "d0001";
        return ack;
    }
    if (cmd == "f") return ClockBlock(layout);

    // Clock set and control registers.
    if (letter == 'k' && layout == 3 && cmd.size() == 5 && cmd.compare(0, 3, "k00") == 0) {
        pendingK_ = cmd.substr(3, 2);
        return ack;
    }
    if (letter == 'k' && cmd.size() == 5) {
        if (layout == 1) {
            rtcCF = static_cast<uint8_t>(HexDigit(cmd[1]));
            rtcCE = static_cast<uint8_t>(HexDigit(cmd[2]));
            rtcCD = static_cast<uint8_t>(HexDigit(cmd[3]));
            return cmd + " " + ClockBlock(1);
        }
        if (layout == 2) {
            tkControl = static_cast<uint8_t>((HexDigit(cmd[1]) << 4 | HexDigit(cmd[2])) & 0x3F);
            const int day = HexDigit(cmd[3]) << 4 | HexDigit(cmd[4]);
            tkStop = (day & 0x80) != 0;
            tkDay = static_cast<uint8_t>(day & 0x40);
            SetWeekday(day & 7);
            return cmd + " " + ClockBlock(2);
        }
        return std::nullopt;
    }
    if ((letter == 'o' || letter == 'p') && cmd.size() == 5) {
        (letter == 'o' ? pendingO_ : pendingP_) = cmd.substr(1, 4);
        return ack;
    }
    if (letter == 'q' && cmd.size() == 5) {
        ClockNow c = ReadClock();
        const int minute = Digits(cmd, 1, 2), second = Digits(cmd, 3, 2);
        if (layout == 3) {
            // adp: k00 carries day units and weekday, o extra + year + month tens,
            // p month units + day tens + hours.
            if (pendingO_.size() == 4 && pendingP_.size() == 4 && pendingK_.size() == 2) {
                if (Digits(pendingO_, 0, 1) >= 0) adpExtra = Digits(pendingO_, 0, 1);
                c.weekday = Digits(pendingK_, 1, 1);
                c.year = Digits(pendingO_, 1, 2);
                c.month = Digits(pendingO_, 3, 1) * 10 + Digits(pendingP_, 0, 1);
                c.day = Digits(pendingP_, 1, 1) * 10 + Digits(pendingK_, 0, 1);
                c.hour = Digits(pendingP_, 2, 2);
            }
        } else if (pendingO_.size() == 4 && pendingP_.size() == 4) {
            c.year = Digits(pendingO_, 0, 2);
            c.month = Digits(pendingO_, 2, 2);
            c.day = Digits(pendingP_, 0, 2);
            c.hour = Digits(pendingP_, 2, 2);
        }
        if (minute >= 0) c.minute = minute;
        if (second >= 0) c.second = second;
        if (c.year >= 0 && c.month >= 0 && c.day >= 0 && c.hour >= 0) SetClock(c);
        pendingO_.clear();
        pendingP_.clear();
        pendingK_.clear();
        if (layout == 0) return std::nullopt;
        return cmd + " " + ClockBlock(layout);
    }
    return std::nullopt;
}

}  // namespace qvd::sim
