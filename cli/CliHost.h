#pragma once
// The host of qvd-cli: message boxes go to standard error, the questions
// to the terminal (or are answered by --yes), and the file dialogs are
// answered by the command line's file names.
#include "core/host/AnsweringHost.h"

#include <cstdio>
#include <functional>
#include <string>

namespace qvd::cli {

class CliHost : public AnsweringHost {
public:
    CliHost();
    ~CliHost() override;

    void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                     bool centredOnScreen) override;
    // --yes answers Yes; otherwise the question is asked on the terminal.
    // Without one, or interrupted by a signal, the answer is No.
    bool AskYesNo(const std::string& title, const std::string& text) override;

    bool assumeYes = false;
    // Called before anything is written to standard error (a progress line
    // gives way).
    std::function<void()> beforeOutput;
    // Callable from any thread: a question waiting on the terminal gives up.
    void InterruptQuestion();

    // The text of the last error or warning box, CRs as line breaks.
    std::string lastErrorText;

private:
    int interruptPipe_[2] = {-1, -1};
};

// A box's text as the terminal shows it: a CR (or CR LF) as a line break.
std::string TerminalText(const std::string& text);

}  // namespace qvd::cli
