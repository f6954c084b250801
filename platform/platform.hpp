#pragma once
// The few services the program needs from a desktop. The Qt front end implements them; tests
// use the headless default or script their own.
#include <string>

namespace vx {

struct Shapes;
class Surface;

class Platform {
  public:
    virtual ~Platform() = default;
    // Lets pending events run (repaints, keys, timer ticks) inside a handler.
    virtual void pumpEvents() {}
    // Maximises the window; the drawing surface then takes the window's inner size.
    virtual void maximise(Shapes&) {}
    // Seconds since midnight, with fractions.
    virtual double clockSeconds();
    // A line for the status bar; empty clears it.
    virtual void status(const std::string& text) { lastStatus = text; }
    std::string lastStatus;

    // Writes a surface as a 24-bit bitmap file, replacing the file whole or not at all.
    // On failure returns false and says why in error.
    virtual bool saveBitmap(const Surface& s, const std::string& file, std::string& error);
    // Prints the window's inner area as one page. On success message says where the page
    // went; on failure it says why. Without a desktop there is no printer.
    virtual bool printWindow(Shapes& sh, std::string& message);
};

} // namespace vx
