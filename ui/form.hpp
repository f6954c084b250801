#pragma once
// The window as data: every control, menu item and timer with its caption, text, place and
// state. Each change raises a notice so that a front end can follow at once.
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace vx::ui {

enum class Kind { Button, Label, TextField, OptionButton, PictureBox, FileList, Menu, Timer };

enum class Change {
    Visible,
    Enabled,
    Checked,
    Text,
    Geometry,
    Interval,
    TimerEnabled,
    Selected,
    Items
};

struct Control {
    std::string name;
    Kind kind = Kind::Label;
    std::string text;   // caption, initial text, or file pattern of a file list
    std::string parent; // menus: the parent menu's name, empty for the bar
    int x = 0, y = 0, w = 0, h = 0;
    int maxLength = 0;      // text fields, 0 for no limit
    int32_t backColor = -1; // -1: the platform's default
    bool visible = false;
    bool enabled = true;
    bool checked = false;           // menu items; option buttons: selected
    bool checkable = false;         // menu items whose check mark mirrors a setting
    std::string shortcut;           // menu items: a key sequence such as "Alt+Left"
    std::string group;              // menu items: either-or items share a group name
    std::vector<int32_t> swatch;    // menu items: colours shown as the item's icon
    int interval = 0;               // timers, in ms
    std::vector<std::string> items; // file lists: the entries shown
    int selected = -1;              // file lists: the selected entry, -1 for none
};

class Form {
  public:
    using Listener = std::function<void(const Control&, Change)>;

    Control& add(Control c);
    bool has(const std::string& name) const { return index_.count(name) != 0; }
    const Control& get(const std::string& name) const;
    const std::vector<Control>& controls() const { return controls_; }
    // Names of the children of a menu, in creation order; "" gives the top-level menus.
    std::vector<std::string> menuChildren(const std::string& parent) const;

    void setVisible(const std::string& name, bool v);
    void setEnabled(const std::string& name, bool v);
    void setChecked(const std::string& name, bool v);
    void setText(const std::string& name, const std::string& text);
    void move(const std::string& name, int x, int y);
    void resize(const std::string& name, int w, int h);
    void setInterval(const std::string& name, int ms);
    void setShortcut(const std::string& name, const std::string& keys) { at(name).shortcut = keys; }
    // Before a front end is made: the colours of a menu item's icon.
    void setSwatch(const std::string& name, std::vector<int32_t> colours) {
        at(name).swatch = std::move(colours);
    }
    // Either-or items: shown with radio marks; which one is marked is still set item by item.
    void setGroup(const std::vector<std::string>& names, const std::string& group);
    // File lists: the entries, and the selected one (-1: none); new entries clear the selection.
    void setItems(const std::string& name, std::vector<std::string> items);
    void select(const std::string& name, int index);
    // The selected entry of a file list, or empty text.
    std::string selectedItem(const std::string& name) const;

    bool visible(const std::string& name) const { return get(name).visible; }
    bool enabled(const std::string& name) const { return get(name).enabled; }
    bool checked(const std::string& name) const { return get(name).checked; }
    const std::string& text(const std::string& name) const { return get(name).text; }

    // Selects one option button and clears the other buttons of its group.
    void selectOption(const std::string& name, const std::vector<std::string>& group);

    int listen(Listener l);
    void unlisten(int id);

  private:
    Control& at(const std::string& name);
    void notify(const Control& c, Change ch);

    std::vector<Control> controls_;
    std::unordered_map<std::string, size_t> index_;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextId_ = 1;
};

} // namespace vx::ui
