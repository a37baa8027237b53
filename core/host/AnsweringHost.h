#pragma once
// The real-time host with someone at the dialogs who knows the answers in
// advance: questions and file choices come from queues (No and Cancel when
// they run dry). The command-line program and the end-to-end tests use it.
#include "core/host/RealTimeHost.h"

#include <deque>
#include <optional>
#include <string>

namespace qvd {

class AnsweringHost : public RealTimeHost {
public:
    bool AskYesNo(const std::string&, const std::string&) override { return Take(yesNoAnswers).value_or(false); }
    std::optional<std::string> OpenFileDialog(const FileDialogRequest&) override {
        return Take(openAnswers).value_or(std::nullopt);
    }
    std::optional<std::string> SaveFileDialog(const FileDialogRequest&) override {
        return Take(saveAnswers).value_or(std::nullopt);
    }

    std::deque<bool> yesNoAnswers;
    std::deque<std::optional<std::string>> openAnswers, saveAnswers;

protected:
    template <typename T>
    static std::optional<T> Take(std::deque<T>& answers) {
        if (answers.empty()) return std::nullopt;
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};

}  // namespace qvd
