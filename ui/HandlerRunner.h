#pragma once
// How a widget hands a user's event to the program.
#include <functional>

namespace qvd::ui {

// Runs a core handler on behalf of a widget (exceptions are shown there).
using HandlerRunner = std::function<void(const std::function<void()>&)>;

}  // namespace qvd::ui
