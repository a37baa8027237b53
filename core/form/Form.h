#pragma once
// A window as data: its controls by designer name, and one notification that
// something visible changed (the Qt mirror refreshes on it).
#include "core/form/Control.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qvd {

class Form {
public:
    Form(std::string designerName, std::string caption, int width, int height);
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    Control window;  // caption, enabled, visible of the window itself
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetWidth(int w);
    void SetHeight(int h);
    int alpha = 255;  // window opacity 0..255

    Control* Find(const std::string& name);
    const std::vector<Control*>& Controls() const { return order_; }

    void Changed() {
        ++revision_;
        if (onChanged) onChanged();
    }
    unsigned Revision() const { return revision_; }
    std::function<void()> onChanged;

protected:
    // Creates a control owned by this form; parent null means the window.
    Control& Add(const std::string& name, ControlKind kind, const std::string& caption = {},
                 Control* parent = nullptr);

private:
    std::vector<std::unique_ptr<Control>> owned_;
    std::vector<Control*> order_;  // also the lookup by name: rare, and a map cost every window built
    int width_;
    int height_;
    unsigned revision_ = 0;
};

}  // namespace qvd
