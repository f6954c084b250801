#pragma once
// Routes the window's events to the handlers of each subsystem by control name.
#include "app/shapes.hpp"

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace vx {

// Key codes as the handlers see them (letters are their upper-case ASCII codes).
constexpr int kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39, kKeyDown = 40;

using ClickHandler = std::function<void(Shapes&)>;
// Returns true when the key is used up and must not reach the control (a letter in a field).
using KeyHandler = std::function<bool(Shapes&, int key)>;
using MouseHandler = std::function<void(Shapes&, int button, double x, double y)>;
// The mouse wheel turned by `rows` notches, positive towards the user.
using WheelHandler = std::function<void(Shapes&, int rows)>;

class Events {
  public:
    void onClick(const std::string& name, ClickHandler h) { clicks_[name] = std::move(h); }
    void onKeyDown(const std::string& name, KeyHandler h) { keyDowns_[name] = std::move(h); }
    void onKeyUp(const std::string& name, KeyHandler h) { keyUps_[name] = std::move(h); }
    void onMouseDown(MouseHandler h) { mouseDown_ = std::move(h); }
    void onMouseMove(MouseHandler h) { mouseMove_ = std::move(h); }
    void onWheel(WheelHandler h) { wheel_ = std::move(h); }

    // Menu items, buttons, option buttons and timer ticks.
    bool click(Shapes& sh, const std::string& name) const;
    bool keyDown(Shapes& sh, const std::string& name, int key) const;
    bool keyUp(Shapes& sh, const std::string& name, int key) const;
    void mouseDown(Shapes& sh, int button, double x, double y) const {
        if (mouseDown_) mouseDown_(sh, button, x, y);
    }
    void mouseMove(Shapes& sh, int button, double x, double y) const {
        if (mouseMove_) mouseMove_(sh, button, x, y);
    }
    void wheel(Shapes& sh, int rows) const {
        if (wheel_) wheel_(sh, rows);
    }
    // The window itself receives keys under this name.
    static constexpr const char* kWindow = "shapes";

    // Whether keys pressed in the control have a handler.
    bool handlesKeys(const std::string& name) const { return keyDowns_.count(name) != 0; }

    // Every name a handler is registered under, for checking them against the window.
    std::vector<std::string> names() const;

  private:
    std::unordered_map<std::string, ClickHandler> clicks_;
    std::unordered_map<std::string, KeyHandler> keyDowns_, keyUps_;
    MouseHandler mouseDown_, mouseMove_;
    WheelHandler wheel_;
};

// Every handler of the program.
Events& programEvents();

} // namespace vx
