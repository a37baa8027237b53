// qvd-cli as a technician's script runs it: real processes against real
// qvd-sim processes on pseudo-terminals. Each exit status is reached by a
// real fault, bad usage is refused before any port is touched, and a signal
// stops a read but never a write.
#include "core/memory/ByteSum.h"
#include "core/wire/Hex.h"
#include "testkit/E2eRig.h"

#include <gtest/gtest.h>

namespace qvd::e2e {
namespace {

struct CliRun {
    int status = -1;
    std::string out, err;
};

// One qvd-cli process with its output in files; stdin is not a terminal.
class Cli {
public:
    Cli(const ScratchDir& dir, std::vector<std::string> args) : out_(dir / "cli.out"), err_(dir / "cli.err") {
        args.insert(args.begin(), QVD_CLI_PATH);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> env = {"QVD_PC_PORTS=" + (dir / "ports" / "COM%d").string(), "PATH=/usr/bin:/bin"};
        std::vector<char*> envp;
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&files, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&files, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (::posix_spawn(&pid_, QVD_CLI_PATH, &files, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&files);
    }
    ~Cli() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    void Signal(int signal) const { ::kill(pid_, signal); }
    CliRun Wait(int maxMs = 90000) {
        CliRun run;
        int status = 0;
        if (!WaitFor([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, maxMs)) return run;
        pid_ = -1;
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        run.out = ReadFile(out_);
        run.err = ReadFile(err_);
        return run;
    }

private:
    fs::path out_, err_;
    pid_t pid_ = -1;
};

CliRun RunCli(const ScratchDir& dir, const std::vector<std::string>& args) { return Cli(dir, args).Wait(); }

// The commands without the polls, whose number is the clock's, and without
// the seconds of a clock set, which are the PC clock's.
Lines WithoutPolls(Lines commands) {
    std::erase(commands, "r");
    for (std::string& c : commands)
        if (c.size() == 5 && c[0] == 'q') c.resize(3);
    return commands;
}

const std::string kNotFound = "QVD-Modul NICHT gefunden.\n\nQVD-BW bitte einschalten und mit dem PC verbinden.\n";

TEST(Cli, EveryExitStatusComesFromARealFault) {
    struct Case {
        const char* name;
        std::vector<std::string> adapter;  // empty: no adapter
        std::function<std::vector<std::string>(ScratchDir&)> args;
        int status;
        std::string stderrHas;
        const char* neverSent;  // the start of a command the adapter must not have had
    };
    const auto save = [](ScratchDir& d) { return std::vector<std::string>{"ram-save", (d / "ram.dat").string()}; };
    const Case cases[] = {
        {"verified save", {"--type", "2", "--fast"}, save, 0, "", ""},
        {"spoilt byte in the stream", {"--type", "2", "--fast", "--stream-corrupt", "100"},
         [&](ScratchDir& d) { auto args = save(d); args.insert(args.begin(), "--json"); return args; }, 1,
         "Checksummefehler\n\nDen RAM/EPROM-Auslesevorgang wiederholen.", ""},
        {"no adapter", {}, [](ScratchDir&) { return std::vector<std::string>{"find"}; }, 2, kNotFound, ""},
        {"adapter gone in the stream", {"--type", "2", "--fast", "--vanish-after-stream", "1000"}, save, 2, "", ""},
        {"file cannot be created", {"--type", "2", "--fast"},
         [](ScratchDir& d) { return std::vector<std::string>{"ram-save", (d / "missing" / "ram.dat").string()}; }, 3,
         "Dateifehler (open)\n\nDatei konnte nicht erzeugt werden.", "a"},
        {"clear without terminal or --yes", {"--type", "2", "--fast"},
         [](ScratchDir&) { return std::vector<std::string>{"ram-clear"}; }, 4, "--yes", "i"},
        {"word value for a byte cell", {"--type", "2", "--fast"},
         [](ScratchDir&) { return std::vector<std::string>{"cell-write", "000010", "ABCD"}; }, 64, "2 Hex-Ziffern", "m"},
        {"restore of the wrong size", {"--type", "2", "--fast"},
         [](ScratchDir& d) { return std::vector<std::string>{"--yes", "ram-restore", d.Write("short.dat", "12345")}; }, 64,
         "Dateifehler: Abweichende Byteanzahl", "n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        Adapter adapter{dir / "ports" / "COM1"};
        if (!c.adapter.empty()) {
            ASSERT_TRUE(adapter.Start(c.adapter));
        }
        const CliRun run = RunCli(dir, c.args(dir));
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(c.stderrHas), std::string::npos) << run.err;
        if (c.neverSent[0]) {
            EXPECT_FALSE(HasPrefix(adapter.Received(), c.neverSent));
        }
        if (c.status == 1) {  // the --json row: the one object, with the checksums that differ
            EXPECT_TRUE(run.out.starts_with("{\"command\":\"ram-save\",\"outcome\":\"data-differ\",\"exitStatus\":1,"));
            EXPECT_NE(run.out.find("\"transferChecksum\":"), std::string::npos) << run.out;
        }
        if (c.status == 0) {
            EXPECT_EQ(fs::file_size(dir / "ram.dat"), 8184u);
            EXPECT_EQ(run.err, "");
        }
        // Let go at the end whenever the adapter was reached and is still there.
        const Lines got = adapter.Received();
        if (Count(got, "i") > 0 && adapter.ExitStatus() == -1) {
            EXPECT_EQ(got.back(), "<DF>");
        }
    }
}

// The same action sends the adapter the same commands in the same order as
// the window, then the close's release.
TEST(Cli, SendsWhatTheWindowSendsForTheSameAction) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::function<void(E2eProgram&)> click;
    };
    const Case cases[] = {
        {"RAM save", {"ram-save", "SAVE"}, [](E2eProgram& pc) { pc.Save(pc.form().ramSaveButton, "SAVE"); }},
        {"range view", {"view", "ram", "0001", "0002"},
         [](E2eProgram& pc) {
             pc.form().rangeStartEdit.SetText("0001");
             pc.form().rangeEndEdit.SetText("0002");
             pc.form().ramRangeButton.OnClick();
             pc.RunUntilReleased(20000);
         }},
        {"cell write", {"cell-write", "000010", "5A"},
         [](E2eProgram& pc) {
             pc.form().cellAddressEdit.SetText("000010");
             pc.form().cellValueEdit.SetText("5A");
             pc.form().cellWriteButton.OnClick();
             pc.RunUntilReleased(10000);
         }},
        {"clock set", {"clock-set", "2027-03-04T05:06"},
         [](E2eProgram& pc) {
             MainForm& f = pc.form();
             for (auto [edit, text] : {std::pair{&f.yearEdit, "27"}, {&f.monthEdit, "03"}, {&f.dayEdit, "04"},
                                       {&f.hoursEdit, "05"}, {&f.minutesEdit, "06"}})
                 edit->SetText(text);
             f.clockSetButton.OnClick();
             pc.RunUntilReleased(10000);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        E2eRig window;
        ASSERT_TRUE(window.Connect({"--type", "2", "--fast"}));
        ASSERT_TRUE(window.pc.RunUntilReleased(5000));
        const std::string saved = (window.dir / "window.dat").string();
        auto click = c.click;
        // The save's file name is the one thing the two runs differ in.
        if (c.args[0] == "ram-save")
            click = [&](E2eProgram& pc) { pc.Save(pc.form().ramSaveButton, saved); };
        click(window.pc);
        Lines windowCommands = WithoutPolls(window.adapter.Received());
        windowCommands.push_back("<DF>");

        ScratchDir dir;
        Adapter adapter{dir / "ports" / "COM1"};
        ASSERT_TRUE(adapter.Start({"--type", "2", "--fast"}));
        std::vector<std::string> args = c.args;
        for (std::string& a : args)
            if (a == "SAVE") a = (dir / "cli.dat").string();
        const CliRun run = RunCli(dir, args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(WithoutPolls(adapter.Received()), windowCommands);
        if (c.args[0] == "ram-save") {
            EXPECT_EQ(ReadFile(dir / "cli.dat"), ReadFile(saved));
        }
    }
}

TEST(Cli, BadUsageIsRefusedBeforeAnyPortIsOpened) {
    struct Case {
        std::vector<std::string> args;
        std::string told;
    };
    const Case cases[] = {
        {{}, "Befehl fehlt"},
        {{"--fast", "find"}, "unbekannte Option \"--fast\""},
        {{"backup"}, "unbekannter Befehl \"backup\""},
        {{"--port", "17", "find"}, "nicht \"17\""},
        {{"--port"}, "--port"},
        {{"ram-save"}, "ram-save: erwartet DATEI"},
        {{"join", "a", "b"}, "join: erwartet ODD EVEN AUS"},
        {{"view", "disk"}, "ram oder eprom"},
        {{"view", "ram", "12", "0001"}, "START muss genau vier Hex-Ziffern"},
        {{"view", "ram", "0000", "00G1"}, "END muss genau vier Hex-Ziffern"},
        {{"cell-read", "0010"}, "sechs Hex-Ziffern"},
        {{"cell-write", "000010", "5"}, "Wert muss zwei (NSM) oder vier (BW)"},
        {{"clock-set", "2026-13-01T10:00"}, "clock-set: now oder"},
        {{"clock-set", "yesterday"}, "clock-set: now oder"},
    };
    ScratchDir dir;
    Adapter adapter{dir / "ports" / "COM1"};
    ASSERT_TRUE(adapter.Start({"--type", "2", "--fast"}));
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const CliRun run = RunCli(dir, c.args);
        EXPECT_EQ(run.status, 64);
        EXPECT_NE(run.err.find(c.told), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_TRUE(adapter.Received().empty());
}

// A signal ends a read at once and leaves nothing that looks like a backup;
// during a write it waits for the write's end, a second one too.
TEST(Cli, SignalsStopReadsButNeverTearAWrite) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        const char* signalAfter;  // the command (its start) after which the signals come
        std::vector<int> signals;
        int status;
        const char* told;
    };
    const Case cases[] = {
        {"SIGINT in a save", {"ram-save", "RAM"}, "a", {SIGINT}, 130, "das Lesen ist abgebrochen"},
        {"SIGTERM in a view", {"view", "eprom"}, "h", {SIGTERM}, 143, "das Lesen ist abgebrochen"},
        {"SIGTERM then SIGINT in a restore", {"--yes", "ram-restore", "IMAGE"}, "n", {SIGTERM, SIGINT}, 143,
         "wird zu Ende geführt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        Adapter adapter{dir / "ports" / "COM1"};
        ASSERT_TRUE(adapter.Start({"--type", "1"}));  // 64 KiB at the line rate: 11 s of stream
        std::string image(65536, '\0');
        for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 7 + 3);
        std::vector<std::string> args = c.args;
        for (std::string& a : args) {
            if (a == "RAM") a = (dir / "ram.dat").string();
            if (a == "IMAGE") a = dir.Write("image.dat", image);
        }
        Cli cli(dir, args);
        ASSERT_TRUE(WaitFor([&] { return HasPrefix(adapter.Received(), c.signalAfter); }, 20000));
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        for (const int signal : c.signals) {
            cli.Signal(signal);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
        const CliRun run = cli.Wait();
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(c.told), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(dir / "ram.dat"));
        const Lines got = adapter.Received();
        ASSERT_FALSE(got.empty());
        EXPECT_EQ(got.back(), "<DF>");
        if (c.args[1] == "ram-restore") {
            EXPECT_EQ(Count(got, "<image 65536>"), 1);
            EXPECT_EQ(Count(got, "n" + FormatHex4(ByteSum(image))), 1);
        }
    }
}

// A second qvd-cli on a port the first one holds is told so, leaves the
// first one's save alone, and finds the adapter once the port is free.
TEST(Cli, SecondInstanceIsToldThePortIsHeldAndDisturbsNothing) {
    ScratchDir dir;
    Adapter adapter{dir / "ports" / "COM1"};
    ASSERT_TRUE(adapter.Start({"--type", "2"}));
    Cli first(dir, {"ram-save", (dir / "ram.dat").string()});
    ASSERT_TRUE(WaitFor([&] { return Count(adapter.Received(), "a") > 0; }, 20000));
    ScratchDir other;
    fs::create_directories(other / "ports");
    fs::create_symlink(adapter.link(), other / "ports" / "COM1");
    const CliRun second = RunCli(other, {"--port", "1", "find"});
    EXPECT_EQ(second.status, 2);
    EXPECT_NE(second.err.find("ist von einem anderen Programm belegt."), std::string::npos) << second.err;
    const CliRun run = first.Wait();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(fs::file_size(dir / "ram.dat"), 8184u);
    // Free again, the port is found.
    EXPECT_EQ(RunCli(other, {"--port", "1", "find"}).status, 0);
}

}  // namespace
}  // namespace qvd::e2e
