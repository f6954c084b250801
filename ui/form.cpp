#include "ui/form.hpp"

#include <stdexcept>

namespace vx::ui {

Control& Form::add(Control c) {
    if (index_.count(c.name)) throw std::logic_error("duplicate control " + c.name);
    index_[c.name] = controls_.size();
    controls_.push_back(std::move(c));
    return controls_.back();
}

const Control& Form::get(const std::string& name) const {
    auto it = index_.find(name);
    if (it == index_.end()) throw std::out_of_range("no control " + name);
    return controls_[it->second];
}

Control& Form::at(const std::string& name) {
    auto it = index_.find(name);
    if (it == index_.end()) throw std::out_of_range("no control " + name);
    return controls_[it->second];
}

std::vector<std::string> Form::menuChildren(const std::string& parent) const {
    std::vector<std::string> out;
    for (const auto& c : controls_)
        if (c.kind == Kind::Menu && c.parent == parent) out.push_back(c.name);
    return out;
}

void Form::notify(const Control& c, Change ch) {
    // Copy: a listener may add or remove listeners.
    auto ls = listeners_;
    for (auto& [id, l] : ls) l(c, ch);
}

void Form::setVisible(const std::string& name, bool v) {
    Control& c = at(name);
    if (c.visible == v) return;
    c.visible = v;
    notify(c, Change::Visible);
}

void Form::setEnabled(const std::string& name, bool v) {
    Control& c = at(name);
    if (c.enabled == v) return;
    c.enabled = v;
    notify(c, c.kind == Kind::Timer ? Change::TimerEnabled : Change::Enabled);
}

void Form::setChecked(const std::string& name, bool v) {
    Control& c = at(name);
    if (c.checked == v) return;
    c.checked = v;
    notify(c, c.kind == Kind::OptionButton ? Change::Selected : Change::Checked);
}

void Form::setText(const std::string& name, const std::string& text) {
    Control& c = at(name);
    // The length limit holds for typing only; the program may write longer values back.
    if (c.text == text) return;
    c.text = text;
    notify(c, Change::Text);
}

void Form::move(const std::string& name, int x, int y) {
    Control& c = at(name);
    if (c.x == x && c.y == y) return;
    c.x = x;
    c.y = y;
    notify(c, Change::Geometry);
}

void Form::resize(const std::string& name, int w, int h) {
    Control& c = at(name);
    if (c.w == w && c.h == h) return;
    c.w = w;
    c.h = h;
    notify(c, Change::Geometry);
}

void Form::setInterval(const std::string& name, int ms) {
    Control& c = at(name);
    if (c.interval == ms) return;
    c.interval = ms;
    notify(c, Change::Interval);
}

void Form::setGroup(const std::vector<std::string>& names, const std::string& group) {
    for (const auto& n : names) at(n).group = group;
}

void Form::setItems(const std::string& name, std::vector<std::string> items) {
    Control& c = at(name);
    if (c.items == items) return;
    c.items = std::move(items);
    c.selected = -1;
    notify(c, Change::Items);
}

void Form::select(const std::string& name, int index) {
    Control& c = at(name);
    if (index < -1 || index >= static_cast<int>(c.items.size())) index = -1;
    if (c.selected == index) return;
    c.selected = index;
    notify(c, Change::Selected);
}

std::string Form::selectedItem(const std::string& name) const {
    const Control& c = get(name);
    return c.selected >= 0 ? c.items[static_cast<size_t>(c.selected)] : std::string();
}

void Form::selectOption(const std::string& name, const std::vector<std::string>& group) {
    for (const auto& g : group)
        if (g != name) setChecked(g, false);
    setChecked(name, true);
}

int Form::listen(Listener l) {
    listeners_.emplace_back(nextId_, std::move(l));
    return nextId_++;
}

void Form::unlisten(int id) {
    std::erase_if(listeners_, [id](const auto& p) { return p.first == id; });
}

} // namespace vx::ui
