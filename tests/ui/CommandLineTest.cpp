#include "app/CommandLine.h"
#include "core/form/MainForm.h"

#include <gtest/gtest.h>

#include <string>

namespace qvd::app {
namespace {

TEST(CommandLine, AnswersOwnOptionsPassesQtsAndRefusesTheRest) {
    using A = CommandLineAction;
    struct Row { std::vector<std::string> args; A action; const char* named; };
    const Row rows[] = {
        {{}, A::Run, ""},
        {{"--help"}, A::Help, ""},
        {{"-h"}, A::Help, ""},
        {{"--version"}, A::Version, ""},
        {{"-platform", "offscreen"}, A::Run, ""},
        {{"--platform", "offscreen", "--version"}, A::Version, ""},  // Qt reads --x as -x
        {{"-style=fusion", "-reverse", "-geometry", "800x600+0+0"}, A::Run, ""},
        {{"-stylesheet", "--help"}, A::Run, ""},  // the value is the sheet's file, not ours
        {{"-qmljsdebugger=port:1234", "-session", "abc", "-name", "x", "-title", "y"}, A::Run, ""},
        {{"-display"}, A::Refuse, "-display"},  // a value-taking option at the end
        {{"--bogus"}, A::Refuse, "--bogus"},
        {{"--help", "-x"}, A::Refuse, "-x"},  // a typo is not hidden by --help
        {{"-"}, A::Refuse, "-"},
        {{"COM1"}, A::Refuse, "COM1"},
        {{"-platformx", "offscreen"}, A::Refuse, "-platformx"},
    };
    for (const Row& row : rows) {
        const std::string line = ::testing::PrintToString(row.args);
        const CommandLineVerdict verdict = CheckCommandLine(row.args);
        EXPECT_EQ(verdict.action, row.action) << line;
        EXPECT_NE(verdict.error.find(row.named), std::string::npos) << line << ": " << verdict.error;
    }
}

// The version printed comes from CMake; the window's caption carries it by hand.
TEST(CommandLine, VersionMatchesTheWindowCaption) {
    const std::string text = VersionText();
    const std::string version = text.substr(text.find(' ') + 1, text.find('\n') - text.find(' ') - 1);
    EXPECT_NE(std::string(kWindowCaption).find("V" + version), std::string::npos) << text;
    EXPECT_NE(text.find(kWindowCaption), std::string::npos);
}

}  // namespace
}  // namespace qvd::app
