#include "fuzz/SessionHarness.h"

#include "core/program/Program.h"
#include "fuzz/FuzzHost.h"
#include "fuzz/SessionDevice.h"
#include "sim/AdapterFacts.h"
#include "testkit/Rig.h"
#include "testkit/ScratchDir.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

namespace qvd::fuzz {

namespace {

namespace fs = std::filesystem;
using namespace header;

// No step of a session may take longer than this in virtual time. The
// longest honest one is a 1 MiB EPROM save at half the line rate with its
// pauses and two 42 s checksum waits, well under half of it.
constexpr uint64_t kStepCapMs = 30 * 60 * 1000;
constexpr size_t kReadLimit = 4 * 1024 * 1024;

// At most `limit` bytes of a file (so that /dev/full cannot run away);
// nothing when it cannot be read.
std::optional<std::string> ReadUpTo(const std::string& path, size_t limit = kReadLimit) {
    std::error_code error;
    const bool regular = fs::is_regular_file(path, error);
    if (!regular && path != "/dev/full") return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string out(regular ? std::min<size_t>(limit, fs::file_size(path, error)) : limit, '\0');
    in.read(out.data(), static_cast<std::streamsize>(limit));
    out.resize(static_cast<size_t>(in.gcount()));
    return out;
}

// Hands a regular file to `take` block by block (offset, bytes, count) through
// one buffer kept for the process; its size, or nothing when it cannot be
// read. Saves and split halves run to a megabyte, and a fresh megabyte for
// each check would cost more in page faults than the comparing.
template <typename Take>
std::optional<size_t> ScanFile(const std::string& path, Take&& take) {
    static std::array<char, 64 * 1024> block;
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    size_t size = 0;
    while (size < kReadLimit) {
        in.read(block.data(), block.size());
        const size_t got = static_cast<size_t>(in.gcount());
        if (got == 0) break;
        take(size, block.data(), got);
        size += got;
        if (!in) break;  // the end of the file came within this block
    }
    return size;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    if (!test::WriteFile(path, bytes)) Fail("cannot write the test file " + path);
}

// Where the session's files go: in memory when there is a place for it.
fs::path ScratchBase() {
    std::error_code error;
    return fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
}

// The process's one folder for the sessions' files, emptied for each
// session: making and removing a folder for each took 4 % of the run.
const fs::path& EmptiedSessionFolder() {
    static const test::ScratchDir folder{"qvd-fuzz", ScratchBase()};
    std::error_code ignored;
    for (fs::directory_iterator it(folder.path(), ignored), end; it != end; it.increment(ignored))
        fs::remove_all(it->path(), ignored);
    return folder.path();
}

class Session {
public:
    Session(const std::string& input, RecordPolicy policy);
    void Play(std::string* transcript);
    std::string Input() const { return header_ + script_.Text(); }

private:
    uint8_t H(size_t i) const { return static_cast<uint8_t>(header_[i]); }
    Program& program() { return *rig_->program; }
    MainForm& form() { return program().form; }
    uint8_t ConnectedType() { return test::ModuleType(program()); }

    // --- driving ---
    bool Settled();
    void Settle(const std::string& name);
    bool Clickable(const Control& control);
    void Run(const std::string& name, const std::function<void()>& action);
    bool Click(const std::string& name, Control& control);
    void EnsureConnected();
    std::optional<std::string> FileChoice(uint8_t choice, const std::string& proper);
    void ClearAnswers();

    void StartUp();
    void Search();
    void Clock();
    void Saves();
    void Restore();
    void Views();
    void Cells();
    void Split();
    void Adp();
    void ServiceAndStatus();
    void Finish();

    // --- checks ---
    void CheckNewLogLines();
    void CheckLine(size_t index);
    void CheckSaveSuccess(const std::string& line);
    void CheckMemoryChecksum(const std::string& line);
    void CheckRestoreSuccess();
    void CheckCellSuccess();
    void CheckSplitResult();
    const Exchange* Last(const std::function<bool(const Exchange&)>& match, long* index = nullptr) const;
    [[noreturn]] void Violation(const std::string& what);
    void Trace();

    std::string header_;
    Script script_;
    FuzzHost host_;
    SessionDevice device_;
    const fs::path& dir_ = EmptiedSessionFolder();
    std::unique_ptr<test::Rig> rig_;
    int searchesLeft_ = 0;
    size_t checkedLines_ = 0;

    // What the checks need to know of the steps.
    std::string savePath_;
    long streamExchange_ = -1;
    std::string verifiedSum_;
    bool saveVerified_ = false;
    bool restoreMismatch_ = false;  // an "OK" under differing sums waits for its correction
    std::string restoreImage_;
    const std::string* splitImage_ = nullptr;
};

uint32_t StartTick(uint8_t setup) { return (setup & 4) ? 0xFFFFFFFFu - 20000u : 100000u; }
uint8_t ModuleType(uint8_t b) {
    // Mostly the NSM modules: a BW module's session moves up to 1.5 MiB of
    // memory and costs as much as twenty others, while its own paths (word
    // cells, its clock) are few. Each BW type still comes once in sixteen.
    static const uint8_t kTypes[] = {3, 1, 2, 4, 3, 2, 8, 0, 3, 2, 3, 2, 5, 3, 2, 0};
    return kTypes[b & 15];
}

Session::Session(const std::string& input, RecordPolicy policy)
    : header_(input.substr(0, std::min(input.size(), kHeaderSize))),
      script_(input.size() > kHeaderSize ? input.substr(kHeaderSize) : std::string()),
      host_(StartTick(input.empty() ? 0 : static_cast<uint8_t>(input[0]))),
      device_(host_, script_, ModuleType(input.size() > kModule ? static_cast<uint8_t>(input[kModule]) : 0)) {
    header_.resize(kHeaderSize, '\0');
    device_.onScriptEnd = std::move(policy);
    host_.traceSteps = std::getenv("QVD_FUZZ_SESSION_TRACE") != nullptr;
    host_.profileSteps = std::getenv("QVD_FUZZ_SESSION_PROFILE") != nullptr;
    std::map<int, PortKind> others;
    for (int n = 1; n <= 8; ++n) {
        const uint8_t bits = H(n <= 4 ? kPorts1to4 : kPorts5to8);
        others[n] = static_cast<PortKind>((bits >> (2 * ((n - 1) % 4))) & 3);
    }
    const int adapterPort = (H(kSetup) & 3) + 1;
    static const uint32_t kReaction[] = {0, 200, 1500, 4000};
    host_.messageReactionMs = kReaction[(H(kSetup) >> 3) & 3];
    host_.SetStep("construction", kStepCapMs);
    rig_ = std::make_unique<test::Rig>(host_, device_.Factory(adapterPort, others));
    form().onChanged = [this] { CheckNewLogLines(); };
    searchesLeft_ = (H(kFlow) >> 4) & 3;
}

// --- driving -------------------------------------------------------------

bool Session::Settled() { return rig_->AtRest(); }

// As a user can click it: the control and all that hold it on and shown.
bool Session::Clickable(const Control& control) {
    if (!form().window.enabled) return false;
    for (const Control* c = &control; c; c = c->parent)
        if (!c->enabled || !c->visible) return false;
    return true;
}

// Runs events until the program is at rest or the step's cap is reached.
// Only an event can change that, so the clock jumps from one to the next.
void Session::Settle(const std::string& name) {
    while (!Settled() && host_.Time() < host_.Deadline())
        host_.Dispatch([&] { host_.WaitAndDispatch(static_cast<uint32_t>(host_.Deadline())); });
    if (!Settled()) Violation("the program did not come to rest within the cap of step " + name);
}

void Session::Run(const std::string& name, const std::function<void()>& action) {
    host_.SetStep(name, kStepCapMs);
    host_.Dispatch(action);
    // The step has ended once the transfer it started is over and the tick
    // after it has handed the window back.
    Settle(name);
    const uint32_t idle = (H(kFlow) & 15u) * 250u;
    if (idle) host_.Dispatch([&] { host_.RunFor(idle); });
    Settle(name);
    if (restoreMismatch_) Violation("a restore called OK under a RAM check that does not match");
}

bool Session::Click(const std::string& name, Control& control) {
    if (!Clickable(control)) return false;
    Run(name, [&] { control.OnClick(); });
    return true;
}

// A user whose connection has gone (or whose log shows the port failing)
// searches again, a few times per session.
void Session::EnsureConnected() {
    const bool connected = test::IsConnected(program()) && program().serialPort.Active();
    if (connected || searchesLeft_ <= 0) return;
    --searchesLeft_;
    Search();
}

void Session::ClearAnswers() {
    host_.saveAnswers.clear();
    host_.openAnswers.clear();
    host_.yesNoAnswers.clear();
}

std::optional<std::string> Session::FileChoice(uint8_t choice, const std::string& proper) {
    switch (choice & 7) {
        case 3: return std::nullopt;
        case 4: return std::string("/dev/full");
        case 5: return dir_ / ("missing/" + fs::path(proper).filename().string());
        case 6: return dir_;
        default: return proper;
    }
}

void Session::StartUp() {
    Run("start-up", [&] { program().Start(); });
    host_.SetStep("enumeration", kStepCapMs);
    // Only an event can end it: the clock jumps from one to the next.
    const uint64_t end = host_.Time() + 60000;
    while (!test::IsIdle(program()) && host_.Time() < end)
        host_.Dispatch([&] { host_.WaitAndDispatch(static_cast<uint32_t>(end)); });
    if (!test::IsIdle(program())) Violation("the COM enumeration did not end");
}

void Session::Search() {
    ClearAnswers();
    Click("search", form().searchButton);
}

void Session::Clock() {
    MainForm& f = form();
    if (test::IsConnected(program())) {
        if (f.extraFunctionsCheck.checked != ((H(kSetup) & 0x20) != 0) && Clickable(f.extraFunctionsCheck)) {
            f.extraFunctionsCheck.SetChecked(!f.extraFunctionsCheck.checked);
            Run("extra functions", [&] { f.extraFunctionsCheck.OnClick(); });
        }
    }
    Click("clock read", f.clockReadButton);

    Control* fields[] = {&f.hoursEdit, &f.minutesEdit, &f.dayEdit, &f.monthEdit, &f.yearEdit};
    const uint8_t digits = H(kClockDigits);
    switch (H(kClockFields) & 3) {
        case 0: {
            const char* fixed[] = {"12", "30", "24", "06", "07"};
            for (int i = 0; i < 5; ++i) fields[i]->SetText(fixed[i]);
            break;
        }
        case 1:
            for (int i = 0; i < 5; ++i) {
                const int v = (digits + i * 37) % 100;
                fields[i]->SetText(std::string{static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)});
            }
            break;
        case 2: fields[digits % 5]->SetText("1"); break;
        default: break;
    }
    if (H(kSetup) & 0x40) Click("clock set from the PC", f.pcTimeButton);
    else Click("clock set", f.clockSetButton);

    if (H(kSetup) & 0x80) {
        const uint16_t bits = static_cast<uint16_t>(H(kRegisterBits) | H(kRegisterBits + 1) << 8);
        Control* rtc[] = {&f.rtcTestCheck, &f.rtc24hCheck, &f.rtcStopCheck, &f.rtcResetCheck, &f.rtcT1Check,
                          &f.rtcT0Check, &f.rtcInterruptCheck, &f.rtcMaskCheck, &f.rtcAdjustCheck, &f.rtcIrqCheck,
                          &f.rtcHoldCheck};
        if (Clickable(f.rtcSetButton)) {
            for (int i = 0; i < 11; ++i) rtc[i]->SetChecked((bits >> i) & 1);
            Click("RTC register bits", f.rtcSetButton);
        }
        if (Clickable(f.timekeeperSetButton)) {
            const int calibration = static_cast<int>(bits >> 11) - 16;
            f.calibrationEdit.SetText(std::to_string(calibration));
            f.timekeeperWeekdayEdit.SetText(std::to_string(1 + (bits & 7) % 7));
            f.timekeeperStopCheck.SetChecked(bits & 8);
            f.frequencyTestCheck.SetChecked(bits & 16);
            Click("timekeeper register bits", f.timekeeperSetButton);
        }
    }
}

void Session::Saves() {
    EnsureConnected();
    ClearAnswers();
    const std::optional<std::string> ram = FileChoice(H(kRamSave), dir_ / "ram.dat");
    if (ram) host_.saveAnswers.push_back(ram);
    savePath_ = ram.value_or("");
    saveVerified_ = false;
    Click("RAM save", form().ramSaveButton);

    // Both bits: an EPROM save streams 32 to 128 times a NSM RAM, so it comes
    // in one session of four, not two.
    if ((H(kEpromSave) & 0x18) == 0x18) {
        EnsureConnected();
        ClearAnswers();
        const std::optional<std::string> eprom = FileChoice(H(kEpromSave), dir_ / "eprom.hex");
        if (eprom) host_.saveAnswers.push_back(eprom);
        savePath_ = eprom.value_or("");
        saveVerified_ = false;
        Click("EPROM save", form().epromSaveButton);
    }
    savePath_.clear();
}

void Session::Restore() {
    EnsureConnected();
    ClearAnswers();
    const uint8_t r = H(kRestore);
    const size_t ram = sim::ModuleOf(ConnectedType()).ramBytes ? sim::ModuleOf(ConnectedType()).ramBytes : kFallbackMemory;
    static const long kDelta[] = {0, 0, 0, 0, -1, 64, 0, 0};
    size_t size = static_cast<size_t>(static_cast<long>(ram) + kDelta[r >> 5]);
    if ((r >> 5) == 6) size = 0;
    if ((r >> 5) == 7) size = 64;
    std::string image = Pattern(size, H(kImageSeed));
    const std::string path = dir_ / "image.dat";
    WriteFile(path, image);
    host_.yesNoAnswers.push_back((r & 3) != 3);
    const std::optional<std::string> chosen = FileChoice(r >> 2, path);
    if (chosen) host_.openAnswers.push_back(chosen);
    if (chosen && *chosen == path) restoreImage_ = std::move(image);
    Click("restore", form().ramRestoreButton);
    restoreImage_.clear();
}

void Session::Views() {
    EnsureConnected();
    MainForm& f = form();
    const bool eprom = H(kFullView) & 1;
    ClearAnswers();
    Click(eprom ? "full EPROM view" : "full RAM view", eprom ? f.epromViewAllButton : f.ramViewAllButton);
    if (const std::optional<std::string> chosen = FileChoice(H(kFullView) >> 1, dir_ / "view.txt"))
        host_.saveAnswers.push_back(chosen);
    Click("view save", eprom ? f.epromViewSaveButton : f.ramViewSaveButton);

    EnsureConnected();
    ClearAnswers();
    const uint32_t start = H(kRangeStart) & 0x1F;
    std::string startText = UpperHex(start, 4);
    if (H(kRangeFlags) & 1) startText.pop_back();
    f.rangeStartEdit.SetText(startText);
    f.rangeEndEdit.SetText(UpperHex(start + (H(kRangeLength) & 15u), 4));
    const bool epromRange = H(kRangeStart) & 0x80;
    Click(epromRange ? "EPROM range view" : "RAM range view", epromRange ? f.epromRangeButton : f.ramRangeButton);
}

void Session::Cells() {
    EnsureConnected();
    MainForm& f = form();
    const uint32_t address = static_cast<uint32_t>((H(kCellAddress) & 0x1F) << 8 | H(kCellAddress + 1));
    std::string addressText = UpperHex(address, 6);
    if (H(kCellFlags) & 1) addressText.pop_back();
    f.cellAddressEdit.SetText(addressText);
    ClearAnswers();
    Click("cell read", f.cellReadButton);

    const bool word = sim::ModuleOf(ConnectedType()).cellBytes == 2;
    std::string value = word ? UpperHex(static_cast<uint32_t>(H(kCellValue) << 8 | H(kCellValue + 1)), 4) : UpperHex(H(kCellValue), 2);
    if (H(kCellFlags) & 2) value.pop_back();
    f.cellValueEdit.SetText(value);
    EnsureConnected();
    ClearAnswers();
    Click("cell write", f.cellWriteButton);
}

// The split's proper image: the same megabyte in every session, made once.
const std::string& SplitImage() {
    static const std::string image = Pattern(1024 * 1024, 0x5B17);
    return image;
}

void Session::Split() {
    if ((H(kSplit) & 0x18) != 0x18) return;  // one session in four: a megabyte each way
    ClearAnswers();
    const uint8_t choice = H(kSplit) & 7;
    const std::string path = dir_ / "bw2.hex";
    splitImage_ = nullptr;
    if (choice == 6) {
        WriteFile(path, Pattern(1000, H(kImageSeed)));
        host_.openAnswers.push_back(path);
    } else if (const std::optional<std::string> chosen = FileChoice(choice, path)) {
        if (*chosen == path) {
            if (!Clickable(form().splitEpromItem)) return;  // no megabyte for nothing
            splitImage_ = &SplitImage();
            WriteFile(path, *splitImage_);
        }
        host_.openAnswers.push_back(chosen);
    }
    Click("EPROM split", form().splitEpromItem);
    splitImage_ = nullptr;
}

void Session::Adp() {
    if (!(H(kAdp) & 1)) return;
    EnsureConnected();
    MainForm& f = form();
    ClearAnswers();
    if (!Clickable(f.adpSwitchCheck)) return;
    f.adpSwitchCheck.SetChecked(true);
    Run("adp switch on", [&] { f.adpSwitchCheck.OnClick(); });
    if (!(H(kAdp) & 2) || !Clickable(f.adpSwitchCheck)) return;
    f.adpSwitchCheck.SetChecked(false);
    Run("adp switch off", [&] { f.adpSwitchCheck.OnClick(); });
}

void Session::ServiceAndStatus() {
    if (H(kClearErrors) & 1) {
        EnsureConnected();
        ClearAnswers();
        Click("error clearing", form().clearErrorsButton);
    }
    ClearAnswers();
    if (const std::optional<std::string> chosen = FileChoice(H(kStatusFile), dir_ / "status.txt"))
        host_.saveAnswers.push_back(chosen);
    Click("status file", form().saveStatusButton);
}

void Session::Finish() {
    if (H(kFlow) & 0x80) Click("disconnect", form().disconnectButton);
    if (H(kFlow) & 0x40) Run("close", [&] { program().RequestClose(); });
}

void Session::Play(std::string* transcript) {
    StartUp();
    Search();
    host_.SetStep("polls", kStepCapMs);
    host_.Dispatch([&] { host_.RunFor(H(kPollTime) * 100u); });
    Settle("polls");
    EnsureConnected();
    Clock();
    Saves();
    Restore();
    Views();
    Cells();
    Split();
    Adp();
    ServiceAndStatus();
    Finish();
    CheckNewLogLines();
    if (std::getenv("QVD_FUZZ_SESSION_TRACE")) Trace();
    if (transcript) {
        for (const Exchange& e : device_.exchanges) *transcript += e.sent + (e.taken ? "+" : "-") + e.seen + "\n";
        for (const std::string& line : form().logMemo.lines) *transcript += line + "\n";
    }
    host_.SetStep("end", kStepCapMs);
    rig_.reset();
}

// What the session did, for whoever replays an input by hand
// (QVD_FUZZ_SESSION_TRACE=1): the log, then every write and what came back.
void Session::Trace() {
    auto shown = [](const std::string& bytes, size_t max) {
        std::string out;
        for (size_t i = 0; i < bytes.size() && i < max; ++i) {
            const unsigned char c = static_cast<unsigned char>(bytes[i]);
            if (c >= 0x20 && c < 0x7F) out += static_cast<char>(c);
            else out += "<" + UpperHex(c, 2) + ">";
        }
        if (bytes.size() > max) out += "...";
        return out;
    };
    for (const std::string& line : form().logMemo.lines) std::fprintf(stderr, "log  | %s\n", line.c_str());
    size_t blocks = 0;
    for (const Exchange& e : device_.exchanges) {
        if ((e.sent.size() == 64 || e.sent.size() == 56) && e.taken && e.seen.empty()) {
            ++blocks;
            continue;
        }
        if (blocks) std::fprintf(stderr, "sent %zu image blocks\n", blocks);
        blocks = 0;
        std::fprintf(stderr, "sent %8llu %c %-24s %s  got %6zu: %s\n", static_cast<unsigned long long>(e.at), e.record,
                     shown(e.sent, 20).c_str(), e.taken ? "taken " : "FAILED", e.seen.size(), shown(e.seen, 40).c_str());
    }
    std::fprintf(stderr, "virtual time %llu ms, %d serial errors at the event loop, script %zu bytes\n",
                 static_cast<unsigned long long>(host_.Time()), host_.commErrorsAtTop, script_.Text().size());
}

// --- checks --------------------------------------------------------------

void Session::Violation(const std::string& what) {
    std::string log;
    const auto& lines = form().logMemo.lines;
    for (size_t i = lines.size() > 12 ? lines.size() - 12 : 0; i < lines.size(); ++i) log += "\n    | " + lines[i];
    if (std::getenv("QVD_FUZZ_SESSION_TRACE")) Trace();
    Fail(what + " (step " + host_.Step() + ", virtual time " + std::to_string(host_.Time()) + " ms); log ends:" + log);
}

const Exchange* Session::Last(const std::function<bool(const Exchange&)>& match, long* index) const {
    for (size_t i = device_.exchanges.size(); i-- > 0;) {
        if (match(device_.exchanges[i])) {
            if (index) *index = static_cast<long>(i);
            return &device_.exchanges[i];
        }
    }
    if (index) *index = -1;
    return nullptr;
}

void Session::CheckNewLogLines() {
    if (!rig_) return;
    // Every log entry tells the form at once, so the new lines are one entry.
    // Only its first line is the program's own words: the lines after it are
    // adapter bytes it quotes, line breaks and all, and may read like any
    // message ("...gespeichert unter: " as an identification).
    const auto& lines = form().logMemo.lines;
    if (checkedLines_ < lines.size()) CheckLine(checkedLines_);
    checkedLines_ = std::max(checkedLines_, lines.size());
}

void Session::CheckLine(size_t index) {
    const auto& lines = form().logMemo.lines;
    const std::string& line = lines[index];
    static const std::string kNone;
    const std::string& previous = index > 0 ? lines[index - 1] : kNone;
    static const std::string kSaved = "Übertragung erfolgreich beendet. ", kTotal = kSaved + "Gesamtbyte:";
    const bool savedLine = line.starts_with(kSaved) && !line.starts_with(kTotal);
    if (savedLine) CheckSaveSuccess(line);
    if (line.starts_with("RAM/EPROM:UART/Datei = ")) CheckMemoryChecksum(line);
    if (line == "OK" && previous.starts_with(kSaved) && !previous.starts_with(kTotal)) {
        // Only an adapter too old for the memory checksum is taken at its
        // transfer checksum alone.
        const std::string& id = form().identificationLabel.caption;
        const size_t at = id.find(" V");
        const std::string version = at == std::string::npos ? std::string() : id.substr(at + 2, 4);
        if (!(version < "1.10")) Violation("a save was called OK without the memory checksum (adapter version " + version + ")");
    }
    if (line == "Daten erfolgreich übertragen...") CheckRestoreSuccess();
    // The restore's check: the adapter's status text follows the RAM sum it
    // reports and the file's. An "OK" there under sums that differ must be
    // taken back by the very next line.
    if (restoreMismatch_) {
        restoreMismatch_ = false;
        if (!line.starts_with("Checksumme stimmt NICHT. RAM-Checksumme:"))
            Violation("a restore called OK under a RAM check that does not match: " + lines[index - 2]);
    }
    if (line == "OK" && previous.starts_with("RAM/Datei=")) {
        const std::string sums = previous.substr(10);
        const size_t slash = sums.find('/');
        restoreMismatch_ = slash == std::string::npos || sums.substr(0, slash) != sums.substr(slash + 1);
    }
    if (line == "RAM-Zelle OK ") CheckCellSuccess();
    if (line == "OK" && previous == "EPROM --> EPROM_odd_even: Datei-Schreibvorgang läuft...") CheckSplitResult();
    if (line == "Fehlermeldungen im QVD-Modul gelöscht.") {
        const Exchange* clear = Last([](const Exchange& e) { return e.sent == "yRbWk\r"; });
        if (!clear || clear->seen.size() != 6) Violation("errors called cleared without the adapter's 6-byte acknowledgement");
    }
    static const std::string kStatusSaved = "Statusmeldungen & QVD-Infos gespeichert unter: ";
    if (line.starts_with(kStatusSaved)) {
        const std::optional<std::string> file = ReadUpTo(line.substr(kStatusSaved.size()), 1);
        if (!file || file->empty()) Violation("status file called saved but not there: " + line);
    }
}

// "Übertragung erfolgreich beendet" of a file read: the file holds the
// module's whole RAM or EPROM, exactly as the adapter streamed it, and its
// sum is the one the adapter gave at positions 5-8 of the status answer
// after the stream.
void Session::CheckSaveSuccess(const std::string& line) {
    if (savePath_.empty()) Violation("a save success without a file chosen: " + line);
    long stream = -1;
    const Exchange* streamed = Last([](const Exchange& e) { return e.sent == "a\r" || e.sent == "h\r"; }, &stream);
    static const std::string kNothing;
    const std::string& seen = streamed ? streamed->seen : kNothing;
    bool asStreamed = streamed != nullptr;
    uint32_t fileSum = 0;
    const std::optional<size_t> size = ScanFile(savePath_, [&](size_t at, const char* bytes, size_t n) {
        asStreamed = asStreamed && at + n <= seen.size() && std::memcmp(seen.data() + at, bytes, n) == 0;
        for (size_t i = 0; i < n; ++i) fileSum += static_cast<unsigned char>(bytes[i]);
    });
    if (!size) Violation("a save success, but the file cannot be read: " + savePath_);
    const sim::ModuleFacts module = sim::ModuleOf(ConnectedType());
    if (*size == 0 || (*size != module.ramBytes && *size != module.epromBytes))
        Violation("a save success with a file of " + std::to_string(*size) + " bytes for module type " +
                  std::to_string(ConnectedType()));
    if (!asStreamed) Violation("a save success, but the file is not what the adapter streamed");
    long status = -1;
    const Exchange* answer = Last([](const Exchange& e) { return e.sent == "r\r"; }, &status);
    const std::string sum = UpperHex(fileSum & 0xFFFFu, 4);
    if (!answer || status < stream || answer->seen.size() != sim::kStatusAnswerBytes ||
        answer->seen.substr(sim::kStatusSumAt, 4) != sum)
        Violation("a save success, but the status answer after the stream does not carry the file's sum " + sum +
                  (answer ? " (it was \"" + answer->seen + "\")" : std::string()));
    streamExchange_ = stream;
    verifiedSum_ = sum;
    saveVerified_ = true;
}

// "RAM/EPROM:UART/Datei = " (followed by "OK"): the memory checksum of the
// memory just read, at positions 7-10 of its 10-byte answer, is the file's.
void Session::CheckMemoryChecksum(const std::string& line) {
    if (!saveVerified_) Violation("a memory checksum match without a verified transfer: " + line);
    const bool eprom = device_.exchanges[static_cast<size_t>(streamExchange_)].sent == "h\r";
    const std::string command = eprom ? "g0020\r" : "g0010\r";
    long at = -1;
    const Exchange* answer = Last([&](const Exchange& e) { return e.sent == "g0010\r" || e.sent == "g0020\r"; }, &at);
    if (!answer || at < streamExchange_ || answer->sent != command)
        Violation("a memory checksum match without the " + command.substr(0, 5) + " exchange: " + line);
    if (answer->seen.size() != 10 || answer->seen.substr(6, 4) != verifiedSum_)
        Violation("a memory checksum match the adapter did not give: " + line + " (answer \"" + answer->seen + "\")");
}

// "Daten erfolgreich übertragen...": every byte of the image went out in
// writes the adapter took, nothing else after the announcement, which
// carried the image's sum.
void Session::CheckRestoreSuccess() {
    long announce = -1;
    const Exchange* n = Last([](const Exchange& e) {
        return e.sent.size() == 6 && e.sent[0] == 'n' && e.sent[5] == '\r';
    }, &announce);
    if (!n || restoreImage_.empty()) Violation("a restore success without an announced image file");
    if (n->sent.substr(1, 4) != UpperHex(ByteSum16(restoreImage_), 4)) Violation("the restore announced a wrong sum: " + n->sent);
    std::string taken;
    for (size_t i = static_cast<size_t>(announce) + 1; i < device_.exchanges.size(); ++i) {
        const Exchange& e = device_.exchanges[i];
        if (!e.taken) Violation("a restore success although a write was not taken");
        taken += e.sent;
    }
    if (taken != restoreImage_)
        Violation("a restore success, but the adapter took " + std::to_string(taken.size()) + " bytes that are not the " +
                  std::to_string(restoreImage_.size()) + "-byte image");
}

// "RAM-Zelle OK ": the read-back the adapter gave after the write carries
// the written value at the value positions.
void Session::CheckCellSuccess() {
    long write = -1, read = -1;
    const Exchange* m = Last([](const Exchange& e) {
        return e.sent.size() == 6 && e.sent[0] == 'm' && e.sent[5] == '\r';
    }, &write);
    const Exchange* c = Last([](const Exchange& e) { return e.sent == "c\r"; }, &read);
    if (!m || !c || read < write) Violation("a cell success without a write and a read-back after it");
    const bool word = sim::ModuleOf(ConnectedType()).cellBytes == 2;
    const std::string value = word ? m->sent.substr(1, 4) : m->sent.substr(3, 2);
    if (c->seen.size() != (word ? 15u : 12u) || c->seen.substr(7, value.size()) != value)
        Violation("a cell success, but the read-back \"" + c->seen + "\" does not carry " + value);
}

void Session::CheckSplitResult() {
    if (!splitImage_) Violation("an EPROM split success without the image");
    const std::string& image = *splitImage_;
    // The odd file holds the bytes at even offsets (the low byte of each word).
    auto half = [&](const char* name, size_t first) {
        const std::optional<size_t> size = ScanFile(dir_ / name, [&](size_t at, const char* bytes, size_t n) {
            for (size_t i = 0; i < n; ++i) {
                const size_t from = 2 * (at + i) + first;
                if (from >= image.size() || bytes[i] != image[from])
                    Violation("an EPROM split success with halves that are not the image's bytes at " +
                              std::to_string(from));
            }
        });
        if (!size || *size != image.size() / 2) Violation("an EPROM split success without both halves");
    };
    half("bw2_odd.hex", 0);
    half("bw2_even.hex", 1);
}

}  // namespace

std::string PlaySession(const uint8_t* data, size_t size, RecordPolicy policy, std::string* transcript) {
    static const bool profile = std::getenv("QVD_FUZZ_SESSION_PROFILE") != nullptr;
    if (profile) StepProfile::Get().Charge("(fuzzer, between sessions)");
    std::string input;
    {
        Session session(std::string(reinterpret_cast<const char*>(data), size), std::move(policy));
        session.Play(transcript);
        input = session.Input();
    }
    if (profile) StepProfile::Get().Charge("(end and teardown)");
    return input;
}

}  // namespace qvd::fuzz
