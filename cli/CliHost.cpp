#include "cli/CliHost.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace qvd::cli {

std::string TerminalText(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

CliHost::CliHost() {
    if (::pipe2(interruptPipe_, O_CLOEXEC | O_NONBLOCK) != 0) interruptPipe_[0] = interruptPipe_[1] = -1;
}

CliHost::~CliHost() {
    for (const int fd : interruptPipe_)
        if (fd >= 0) ::close(fd);
}

void CliHost::ShowMessage(const std::string& title, const std::string& text, MessageIcon icon, bool centred) {
    AnsweringHost::ShowMessage(title, text, icon, centred);
    if (beforeOutput) beforeOutput();
    std::fprintf(stderr, "%s\n", TerminalText(text).c_str());
    std::fflush(stderr);
    if (icon == MessageIcon::Error || icon == MessageIcon::Warning) lastErrorText = TerminalText(text);
}

void CliHost::InterruptQuestion() {
    if (interruptPipe_[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(interruptPipe_[1], &byte, 1);
    }
}

bool CliHost::AskYesNo(const std::string&, const std::string& text) {
    if (assumeYes) return true;
    if (!::isatty(STDIN_FILENO)) return false;
    if (beforeOutput) beforeOutput();
    std::fprintf(stderr, "%s [j/N] ", TerminalText(text).c_str());
    std::fflush(stderr);
    // Read with poll, so that a signal's interruption ends the wait.
    std::string answer;
    for (;;) {
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {interruptPipe_[0], POLLIN, 0}};
        if (::poll(fds, interruptPipe_[0] >= 0 ? 2 : 1, -1) < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (fds[1].revents & POLLIN) {
            std::fprintf(stderr, "\n");
            return false;
        }
        char c = 0;
        const ssize_t n = ::read(STDIN_FILENO, &c, 1);
        if (n <= 0 || c == '\n') break;
        answer += c;
    }
    return answer == "j" || answer == "J" || answer == "ja" || answer == "Ja" || answer == "y" || answer == "yes";
}

}  // namespace qvd::cli
