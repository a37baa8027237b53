#pragma once
// One control of a window as data: what a user can see of it, and the
// handlers the window forwards its events to. Texts are UTF-8.
#include "core/form/Colors.h"

#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace qvd {

enum class ControlKind {
    Window, Panel, GroupBox, Label, Button, Edit, Memo, CheckBox, UpDown, Menu, MenuItem,
    StatusPanel, Image, ProgressBar
};

class Form;

struct Control {
    Control(std::string designerName, ControlKind kind, std::string caption = {});

    std::string name;
    ControlKind kind;
    Control* parent = nullptr;
    Form* form = nullptr;

    bool enabled = true;
    bool visible = true;
    std::string caption;             // caption of buttons, labels, groups; text of edits
    std::vector<std::string> lines;  // memo contents, one entry per line
    std::optional<Rgb> color;        // background
    std::optional<Rgb> fontColor;
    bool checked = false;            // check boxes and menu items
    int maxLength = 0;               // edits; 0 = unlimited
    int width = 0;                   // status panels
    int position = 0;                // progress bars: 0..100 percent

    std::function<void()> OnClick;
    std::function<void()> OnChange;
    // Key filter: sets the key to 0 to discard it.
    std::function<void(char& key)> OnKeyPress;
    // Up-down arrows: +1 for the up arrow, -1 for the down arrow.
    std::function<void(int step)> OnStep;

    // Counts every visible change, so a mirror can tell it is stale.
    unsigned revision = 0;
    void Touch();

    void SetEnabled(bool on) { if (enabled != on) { enabled = on; Touch(); } }
    void SetVisible(bool on) { if (visible != on) { visible = on; Touch(); } }
    void SetCaption(const std::string& text) { if (caption != text) { caption = text; Touch(); } }
    void SetChecked(bool on) { if (checked != on) { checked = on; Touch(); } }
    void SetColor(Rgb c) { color = c; Touch(); }
    void SetFontColor(Rgb c) { fontColor = c; Touch(); }
    void SetMaxLength(int n) { maxLength = n; Touch(); }
    void SetPosition(int percent) { if (position != percent) { position = percent; Touch(); } }
    // Edits: set the text and run the change handler, as typing would.
    void SetText(const std::string& text);

    // Memos.
    void AddLine(const std::string& line) { lines.push_back(line); Touch(); }
    // Many lines with one change notification (a streaming view).
    void AddLines(std::vector<std::string>&& more) {
        if (more.empty()) return;
        lines.insert(lines.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
        Touch();
    }
    // Appends text; carriage returns and line feeds start new lines.
    void AddText(const std::string& text);
    void Clear() { lines.clear(); ++clears; Touch(); }
    // Counts Clear(): a mirror that saw the same count and fewer lines may
    // append the new ones instead of showing everything again.
    unsigned clears = 0;
    std::string Text() const;  // lines joined with CR LF
};

}  // namespace qvd
