#include "core/form/Form.h"

namespace qvd {

Form::Form(std::string designerName, std::string caption, int width, int height)
    : window(std::move(designerName), ControlKind::Window, std::move(caption)),
      width_(width), height_(height) {
    window.form = this;
    window.visible = false;
}

void Form::SetWidth(int w) {
    if (w == width_) return;
    width_ = w;
    Changed();
}

void Form::SetHeight(int h) {
    if (h == height_) return;
    height_ = h;
    Changed();
}

Control* Form::Find(const std::string& name) {
    if (name == window.name) return &window;
    for (Control* c : order_)
        if (c->name == name) return c;
    return nullptr;
}

Control& Form::Add(const std::string& name, ControlKind kind, const std::string& caption,
                   Control* parent) {
    owned_.push_back(std::make_unique<Control>(name, kind, caption));
    Control& c = *owned_.back();
    c.parent = parent;
    c.form = this;
    order_.push_back(&c);
    return c;
}

}  // namespace qvd
