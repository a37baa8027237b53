#include "core/form/Control.h"

#include "core/form/Form.h"

namespace qvd {

Control::Control(std::string designerName, ControlKind k, std::string text)
    : name(std::move(designerName)), kind(k), caption(std::move(text)) {}

void Control::Touch() {
    ++revision;
    if (form) form->Changed();
}

void Control::SetText(const std::string& text) {
    if (caption == text) return;
    caption = text;
    Touch();
    if (OnChange) OnChange();
}

std::string Control::Text() const {
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) out += "\r\n";
        out += lines[i];
    }
    return out;
}

}  // namespace qvd
