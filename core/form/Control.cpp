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

// Line by line, not byte by byte: a view adds thousands of lines at once.
void Control::AddText(const std::string& text) {
    size_t start = 0;
    for (;;) {
        size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        lines.emplace_back(text, start, end - start);
        if (end == text.size()) break;
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
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
