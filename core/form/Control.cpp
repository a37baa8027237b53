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

void Control::AddText(const std::string& text) {
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += c;
        }
    }
    lines.push_back(line);
    Touch();
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
