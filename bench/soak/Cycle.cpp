#include "bench/soak/Cycle.h"

#include "cli/Session.h"
#include "sim/AdapterFacts.h"

#include <algorithm>
#include <ctime>
#include <functional>

namespace qvd::soak {

namespace fs = std::filesystem;

namespace {

constexpr uint8_t kType = 3;  // NSM module 25: 8184 bytes of RAM, about 1.4 s on the line
constexpr size_t kRamBytes = sim::ModuleOf(kType).ramBytes;

const char* const kChecksumBox = "Checksummefehler\r\rDen RAM/EPROM-Auslesevorgang wiederholen.";
const char* const kTransferBox = "Übertragunsfehler\r\rDen RAM/EPROM-Auslesevorgang wiederholen.";
const char* const kNotFoundBox = "QVD-Modul NICHT gefunden.\r\rQVD-BW bitte einschalten und mit dem PC verbinden.";

std::string Hex(unsigned value, int digits) { return sim::UpperHex(value, digits); }

bool IsPortFailure(const std::string& line) {
    return line.starts_with("Error retrieving statistics (") || line.starts_with("Write error (") ||
           line.starts_with("Read error (");
}

bool Logged(const std::vector<std::string>& log, const std::string& start) {
    return std::any_of(log.begin(), log.end(), [&](const std::string& l) { return l.starts_with(start); });
}

// A box's text on one line.
std::string OneLine(std::string text) {
    for (size_t at; (at = text.find("\r\r")) != std::string::npos;) text.replace(at, 2, " / ");
    std::replace(text.begin(), text.end(), '\r', ' ');
    return text;
}

std::string Told(const CliRun& run) {
    std::string told = "exit " + std::to_string(run.status) + " (" + cli::OutcomeName(run.outcome) + ")";
    if (!run.boxes.empty()) told += ", box \"" + OneLine(run.boxes.back()) + "\"";
    else if (!run.error.empty()) told += ", \"" + OneLine(run.error) + "\"";
    return told;
}

Fault Named(std::string name, std::vector<std::string> simOptions) {
    Fault f;
    f.name = std::move(name);
    f.simOptions = std::move(simOptions);
    return f;
}

}  // namespace

std::optional<Fault> FaultOfCycle(int cycle, int every) {
    if (cycle % every != 0) return std::nullopt;
    const int n = cycle / every - 1;  // the how-manieth fault
    const int round = n / 5;          // variants change from round to round
    Fault f;
    switch (n % 5) {
        case 0:
            if (round % 2 == 0) {  // poll 2: the save's transfer checksum
                f = Named("lose-polls 2:1", {"--lose-polls", "2:1"});
                f.status = cli::kDataDiffer;
                f.outcome = Outcome::DataDiffer;
                f.logged = {"Checksumme stimmt NICHT. Rx-Checksumme: Datei-Checksumme:{sum}"};
                f.box = kChecksumBox;
                f.took = {{"r (verloren)", 1}, {"g0010", 0}};
            } else {  // poll 1: the search's
                f = Named("lose-polls 1:1", {"--lose-polls", "1:1"});
                f.status = cli::kNoAdapter;
                f.outcome = Outcome::AdapterLost;
                f.logged = {"QVD-Modul nicht gefunden."};
                f.box = kNotFoundBox;
                f.took = {{"r (verloren)", 1}, {"a", 0}};
            }
            f.neverLogged = {"Übertragung erfolgreich"};
            break;
        case 1: {
            const char* kinds[] = {"short", "long", "garbage"};
            const std::string spoil = std::string("2:") + kinds[round % 3];
            f = Named("spoil-poll " + spoil, {"--spoil-poll", spoil});
            f.status = cli::kDataDiffer;
            f.outcome = Outcome::DataDiffer;
            f.logged = {"Fehler (r): Abweichende Befehlsantwort (",
                        "Checksumme stimmt NICHT. Rx-Checksumme: Datei-Checksumme:{sum}"};
            f.neverLogged = {"Übertragung erfolgreich"};
            f.box = kChecksumBox;
            f.took = {{"g0010", 0}};
            break;
        }
        case 2:
            // Three silent ticks end a stream: 3.5 s is always over them,
            // 1.8 s always under two.
            if (round % 2 == 0) {
                f = Named("stream-pause 4000:3500", {"--stream-pause", "4000:3500"});
                f.status = cli::kDataDiffer;
                f.outcome = Outcome::DataDiffer;
                f.logged = {"Übertragung NICHT vollständig. Gesamtbyte Rx/Datei:4000/4000"};
                f.neverLogged = {"Übertragung erfolgreich"};
                f.box = kTransferBox;
                f.nextMayFail = true;
            } else {
                f = Named("stream-pause 4000:1800", {"--stream-pause", "4000:1800"});
                f.logged = {"Übertragung erfolgreich beendet. 8184/8184, {sum}/{sum}", "RAM/EPROM:UART/Datei = {sum}:{sum}"};
                f.took = {{"g0010", 1}};
            }
            break;
        case 3:
            f = Named("wrong-ram-checksum once", {"--wrong-ram-checksum", "once"});
            f.logged = {"moment...", "RAM/EPROM:UART/Datei = {sum}:{sum}"};
            f.took = {{"g0010", 2}};
            break;
        case 4:
            f = Named("kill in the save stream", {});
            f.kill = true;
            f.status = cli::kNoAdapter;
            f.outcome = Outcome::AdapterLost;
            f.logged = {"Übertragung NICHT vollständig. Gesamtbyte Rx/Datei:"};
            f.neverLogged = {"Übertragung erfolgreich"};
            f.box = kTransferBox;
            f.portFailures = 1;
            break;
    }
    return f;
}

// What the soak expects of one operation.
struct CycleRunner::Step {
    std::string name;
    enum { Normal, Hit, Either } expect = Normal;
    int status = 0;               // Normal: the exit status
    const Fault* fault = nullptr;  // Hit
    bool killed = false;          // Hit by a kill: the soak's kill came
};

CycleRunner::CycleRunner(const std::string& simPath, uint32_t seed, int faultEvery, SignalRelay& relay)
    : sim_(simPath, dir_ / "ports" / "COM1", dir_.path()),
      pattern_((dir_ / "ports" / "COM%d").string()),
      faultEvery_(faultEvery),
      relay_(relay),
      random_(seed) {
    fs::create_directories(dir_ / "ports");
}

bool CycleRunner::Start() {
    truth_ = RandomImage();
    Restart();
    return !broken_;
}

void CycleRunner::Restart(const std::vector<std::string>& options) {
    std::vector<std::string> all = {"--type", std::to_string(kType)};
    all.insert(all.end(), options.begin(), options.end());
    for (int attempt = 0; attempt < 3; ++attempt) {  // someone's pkill may meet the start
        if (sim_.Start(truth_, all)) {
            faultySim_ = !options.empty();
            return;
        }
    }
    broken_ = true;
}

bool CycleRunner::AdapterDied() {
    if (!sim_.DiedOnItsOwn()) return false;
    ++externalDeaths_;
    externalInCycle_ = true;
    return true;
}

std::string CycleRunner::Expand(const std::string& text) const {
    std::string out = text;
    const std::string sum = Hex(sim::ByteSum16(truth_), 4);
    for (size_t at; (at = out.find("{sum}")) != std::string::npos;) out.replace(at, 5, sum);
    return out;
}

std::string CycleRunner::RandomImage() {
    std::string bytes(kRamBytes, '\0');
    for (char& b : bytes) b = static_cast<char>(Below(0x100));
    return bytes;
}

unsigned CycleRunner::Below(unsigned n) { return static_cast<unsigned>(random_() % n); }

CliRun CycleRunner::Op(const std::vector<std::string>& args) {
    std::vector<std::string> line = {"--port", "1"};
    line.insert(line.end(), args.begin(), args.end());
    return RunCli(line, pattern_, relay_);
}

bool CycleRunner::Judge(Step& step, const CliRun& run, const std::string& dataProblem) {
    if (relay_.signal()) {
        report_.stopped = true;
        return false;
    }
    const bool died = AdapterDied();
    if (!dataProblem.empty()) {
        report_.falseSuccess = true;
        report_.notes.push_back("FALSE " + step.name + ": " + Told(run) + ", but " + dataProblem);
        for (const std::string& line : run.log) report_.notes.push_back("    log: " + line);
        return false;
    }
    std::vector<std::string> problems;
    if (died) {
        // Someone else's kill: a failure is right, a success has passed the
        // data checks.
    } else if (step.expect == Step::Hit) {
        const Fault& f = *step.fault;
        if (run.status != f.status) problems.push_back("exit " + std::to_string(run.status) + ", not " + std::to_string(f.status));
        if (run.outcome != f.outcome) problems.push_back(std::string("outcome ") + cli::OutcomeName(run.outcome));
        for (const std::string& line : f.logged)
            if (!Logged(run.log, Expand(line))) problems.push_back("no log line \"" + Expand(line) + "\"");
        for (const std::string& line : f.neverLogged)
            if (Logged(run.log, line)) problems.push_back("logged \"" + line + "\"");
        if (run.boxes != (f.box.empty() ? std::vector<std::string>{} : std::vector<std::string>{f.box}))
            problems.push_back(std::to_string(run.boxes.size()) + " box(es), not the one expected");
        const std::vector<std::string> took = sim_.Received();
        for (const auto& [command, times] : f.took)
            if (const long n = std::count(took.begin(), took.end(), command); n != times)
                problems.push_back("the adapter took " + command + " " + std::to_string(n) + " times, not " + std::to_string(times));
        if (const long n = std::count_if(run.log.begin(), run.log.end(), IsPortFailure); n != f.portFailures)
            problems.push_back("the port's failure told " + std::to_string(n) + " times");
        if (f.kill && !step.killed) problems.push_back("the soak's kill did not come");
    } else if (step.expect == Step::Normal && run.status != step.status) {
        problems.push_back("expected exit " + std::to_string(step.status));
    }
    if (!problems.empty()) {
        report_.wrong = true;
        std::string text = "WRONG " + step.name + ": " + Told(run) + ":";
        for (const std::string& p : problems) text += " " + p + ";";
        report_.notes.push_back(text);
        for (const std::string& line : run.log) report_.notes.push_back("    log: " + line);
    } else if (died) {
        report_.notes.push_back(step.name + ": " + Told(run) + "; the adapter died without the soak's kill");
    } else if (step.expect == Step::Hit) {
        report_.notes.push_back(step.name + " (" + step.fault->name + "): " + Told(run) + ", as it should");
    } else if (run.status != step.status) {
        report_.notes.push_back(step.name + ": " + Told(run) + ", after the fault");
    }
    return true;
}

std::string CycleRunner::SaveCheck(const CliRun& run, const std::string& file) const {
    if (run.status != cli::kSuccess) return {};
    const std::string saved = test::ReadFile(file);
    if (saved == truth_) return {};
    if (saved.size() != truth_.size()) return "the file has " + std::to_string(saved.size()) + " bytes";
    const size_t at = std::mismatch(saved.begin(), saved.end(), truth_.begin()).first - saved.begin();
    return "the file differs from the RAM first at " + Hex(unsigned(at), 6);
}

std::string CycleRunner::CompareCheck(const CliRun& run, const std::string& file) const {
    const std::string bytes = test::ReadFile(file);
    size_t differ = 0, first = kRamBytes;
    for (size_t i = 0; i < kRamBytes; ++i)
        if (bytes[i] != truth_[i] && differ++ == 0) first = i;
    std::string verdict = "RAM und Datei sind gleich (" + std::to_string(kRamBytes) + " Byte)";
    if (differ)
        verdict = "RAM und Datei verschieden: " + std::to_string(differ) + " Byte abweichend, erste Abweichung bei Adresse " +
                  Hex(unsigned(first), 6) + " (RAM: " + Hex(uint8_t(truth_[first]), 2) + ", Datei: " +
                  Hex(uint8_t(bytes[first]), 2) + ")";
    // A verdict stands whenever one is given: equal with status 0,
    // different with status 1.
    const bool given = run.status == cli::kSuccess || (run.status == cli::kDataDiffer && !run.output.empty());
    if (!given || run.output == std::vector<std::string>{verdict}) return {};
    return "the truth is \"" + verdict + "\", it said \"" + (run.output.empty() ? "" : run.output[0]) + "\"";
}

std::string CycleRunner::ViewCheck(const CliRun& run, unsigned start, unsigned end) const {
    if (run.status != cli::kSuccess) return {};
    const unsigned from = start * 0x100, to = std::min<unsigned>(end * 0x100, kRamBytes);
    std::vector<std::string> lines = {"****************** RAM-Teilbereich (" + Hex(from, 6) + "h..." + Hex(end * 0x100, 6) +
                                      "h): *************************"};
    for (unsigned at = from; at < to; at += 16) {
        std::string line = Hex(at, 6) + ":";
        for (unsigned i = at; i < std::min(at + 16, to); ++i) line += " " + Hex(uint8_t(truth_[i]), 2);
        lines.push_back(line);
    }
    if (run.output == lines) return {};
    for (size_t i = 0; i < lines.size(); ++i)
        if (i >= run.output.size() || run.output[i] != lines[i])
            return "view line " + std::to_string(i) + " is \"" + (i < run.output.size() ? run.output[i] : "") +
                   "\", the RAM's \"" + lines[i] + "\"";
    return "the view has " + std::to_string(run.output.size() - lines.size()) + " lines too many";
}

std::string CycleRunner::ClockCheck(const CliRun& run) const {
    if (run.status != cli::kSuccess) return {};
    tm t{};
    char rest = 0;
    const std::string shown = run.output.empty() ? "" : run.output[0];
    if (std::sscanf(shown.c_str(), "%2d:%2d:%2d  %2d.%2d.%4d%c", &t.tm_hour, &t.tm_min, &t.tm_sec, &t.tm_mday, &t.tm_mon,
                    &t.tm_year, &rest) != 6)
        return "the clock reads \"" + shown + "\"";
    if (!clockSet_ || clockSet_->simRun != sim_.runs()) return {};  // set on another run, or not at all
    t.tm_mon -= 1;
    t.tm_year -= 1900;
    // The seconds were the PC's at the set; a few more have passed since.
    const long long since = static_cast<long long>(timegm(&t)) - clockSet_->epochMinute * 60;
    if (since >= 0 && since < 180) return {};
    return "the clock reads \"" + shown + "\", " + std::to_string(since) + " s from the time set";
}

CycleReport CycleRunner::Run(int cycle) {
    report_ = {};
    externalInCycle_ = false;
    const std::optional<Fault> fault = FaultOfCycle(cycle, faultEvery_);
    if (fault) Restart(fault->simOptions);
    if (fault && fault->kill) sim_.KillAfter("a", 1000);

    // One operation: run, judge, tidy up; false ends the cycle.
    const auto op = [&](Step step, const std::vector<std::string>& args, const std::function<std::string(const CliRun&)>& check,
                        bool changesRam = false) {
        if (broken_ || relay_.signal()) {
            report_.stopped = relay_.signal() != 0;
            return false;
        }
        const CliRun run = Op(args);
        if (step.expect == Step::Hit && step.fault->kill) step.killed = sim_.EndKiller();
        const bool goOn = Judge(step, run, check(run));
        // A write that failed may have left anything in the module: a new
        // run of the adapter holds what the soak knows.
        if (goOn && (!sim_.Running() || (changesRam && run.status != cli::kSuccess))) Restart();
        return goOn && !broken_;
    };
    const auto file = [&](const std::string& name) { return (dir_ / (name + "-" + std::to_string(++files_) + ".dat")).string(); };

    const std::string image = RandomImage();
    const std::string imageFile = dir_.Write("image.dat", image);
    bool goOn = true;
    {
        Step save{"ram-save"};
        if (fault) {
            save.expect = Step::Hit;
            save.fault = &*fault;
        }
        const std::string saved = file("save");
        goOn = op(save, {"ram-save", saved}, [&](const CliRun& r) { return SaveCheck(r, saved); });
        fs::remove(saved);
    }
    if (goOn) {
        Step restore{"ram-restore"};
        if (fault && fault->nextMayFail) restore.expect = Step::Either;
        goOn = op(restore, {"--yes", "ram-restore", imageFile}, [&](const CliRun&) {
            truth_ = image;  // also after a failure: a new adapter run then holds it
            return std::string();
        }, true);
    }
    if (goOn) {
        const std::string saved = file("save");
        // The truth is the image now: this is the restore's own check.
        goOn = op({"ram-save again"}, {"ram-save", saved}, [&](const CliRun& r) { return SaveCheck(r, saved); });
        fs::remove(saved);
    }
    if (goOn) goOn = op({"ram-compare"}, {"ram-compare", imageFile}, [&](const CliRun& r) { return CompareCheck(r, imageFile); });
    if (goOn) {  // every cycle, so that the cycles' work is alike
        std::string other = image;
        const size_t at = Below(kRamBytes);
        other[at] = static_cast<char>(other[at] ^ (1 + Below(255)));
        const std::string otherFile = dir_.Write("other.dat", other);
        goOn = op({"ram-compare one byte off", Step::Normal, cli::kDataDiffer}, {"ram-compare", otherFile},
                  [&](const CliRun& r) { return CompareCheck(r, otherFile); });
    }
    if (goOn) {
        const unsigned start = Below(0x20), end = std::min(start + 1 + Below(2), 0x20u);
        goOn = op({"view"}, {"view", "ram", Hex(start, 4), Hex(end, 4)}, [&](const CliRun& r) { return ViewCheck(r, start, end); });
    }
    const unsigned cell = Below(kRamBytes), value = Below(0x100);
    if (goOn) {
        goOn = op({"cell-write"}, {"cell-write", Hex(cell, 6), Hex(value, 2)}, [&](const CliRun& r) {
            truth_[cell] = static_cast<char>(value);  // also after a failure, as for the restore
            if (r.status == cli::kSuccess && r.output != std::vector<std::string>{Hex(value, 2)})
                return "it read back \"" + (r.output.empty() ? "" : r.output[0]) + "\"";
            return std::string();
        }, true);
    }
    if (goOn) {
        goOn = op({"cell-read"}, {"cell-read", Hex(cell, 6)}, [&](const CliRun& r) {
            if (r.status == cli::kSuccess && r.output != std::vector<std::string>{Hex(uint8_t(truth_[cell]), 2)})
                return "it read \"" + (r.output.empty() ? "" : r.output[0]) + "\", the RAM holds " + Hex(uint8_t(truth_[cell]), 2);
            return std::string();
        });
    }
    if (goOn) {
        tm t{};
        t.tm_year = 101 + int(Below(98));  // 2001 to 2098
        t.tm_mon = int(Below(12));
        t.tm_mday = 1 + int(Below(28));
        t.tm_hour = int(Below(24));
        t.tm_min = int(Below(60));
        char text[20];
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M", &t);
        const long long minute = static_cast<long long>(timegm(&t)) / 60;
        clockSet_.reset();
        goOn = op({"clock-set"}, {"clock-set", text}, [&](const CliRun& r) {
            if (r.status == cli::kSuccess) clockSet_ = ClockSet{minute, sim_.runs()};
            return std::string();
        });
    }
    if (goOn) goOn = op({"clock"}, {"clock"}, [&](const CliRun& r) { return ClockCheck(r); });

    sim_.EndKiller();
    if (faultySim_ && !broken_) Restart();  // the fault was for this cycle only
    if (report_.stopped) report_.outcome = "stopped";
    else if (report_.falseSuccess) report_.outcome = "FALSE";
    else if (report_.wrong || broken_) report_.outcome = "WRONG";
    else if (externalInCycle_) report_.outcome = "external";
    else report_.outcome = fault ? "fault-ok" : "ok";
    report_.external = externalInCycle_;
    return report_;
}

}  // namespace qvd::soak
