#pragma once
// The few services the program needs from a desktop. The Qt front end implements them; tests
// use the headless default or script their own.
#include "base/result.hpp"
#include "base/text.hpp"
#include "surface/surface.hpp"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vx {

class Platform {
  public:
    virtual ~Platform() = default;
    // Lets pending events run (repaints, keys, timer ticks) inside a handler.
    virtual void pumpEvents() {}
    // Maximises the window; the drawing surface then takes the window's inner size.
    virtual void maximise() {}
    // Seconds since midnight, with fractions.
    virtual double clockSeconds();
    // Seconds on a steady clock that never goes back, for pacing the moving picture.
    virtual double steadySeconds();
    // Runs f once the event being handled is done and the window shows its result. Without
    // a desktop it runs at once.
    virtual void later(std::function<void()> f) { f(); }
    // Ends the program's event loop; nothing is saved.
    virtual void quit() { quitRequested = true; }
    bool quitRequested = false;
    // A line for the status bar; empty clears it. Control characters (of a file name) are
    // shown as "?".
    virtual void status(const std::string& text) { lastStatus = printable(text); }
    std::string lastStatus;
    // Something the user must learn of (a damaged file): said once however often it recurs,
    // and kept beside later status lines until the user acts.
    void warn(const std::string& text);
    std::string warning; // the warning kept; empty when none

    // Prints the window's inner area as one page; says where the page went. Without a
    // desktop there is no printer.
    virtual Result<std::string> printWindow();
    // An earlier print the print service may still be printing though it has not said so,
    // as "job N"; empty when there is none.
    virtual std::string printInDoubt() { return {}; }

    // Prints text with its top-left corner at (x, y) of the surface, in the window's font;
    // returns its width. Without a desktop there are no fonts, and nothing is drawn.
    virtual int drawText(Surface&, int /*x*/, int /*y*/, const std::string& /*text*/,
                         int32_t /*colour*/) {
        return 0;
    }
    // Puts text on the clipboard. Without a desktop it is only kept here.
    virtual void copyText(const std::string& text) { copied = text; }
    std::string copied;
    // Asks the user for a line of text; nothing when the user cancels (or there is no desktop).
    virtual std::optional<std::string> askText(const std::string& /*title*/,
                                               const std::string& /*label*/) {
        return std::nullopt;
    }
    // Asks a yes-or-no question; without a desktop the answer is no.
    virtual bool confirm(const std::string& /*question*/) { return false; }
    // Reads a picture file (a bitmap, or any format the desktop reads). Without a desktop no
    // picture can be read.
    virtual Result<Surface> readPicture(const std::string& file);

    // Asks where to save a file, suggesting a name in the working folder; nothing when the
    // user cancels (or there is no desktop).
    virtual std::optional<std::string> askSaveFile(const std::string& /*title*/,
                                                   const std::string& /*suggested*/,
                                                   const std::string& /*filter*/) {
        return std::nullopt;
    }
    // Asks for a file to read, in the working folder first; nothing when the user cancels (or
    // there is no desktop).
    virtual std::optional<std::string> askOpenFile(const std::string& /*title*/,
                                                   const std::string& /*filter*/) {
        return std::nullopt;
    }
    // Asks to choose one of the choices, offering the one at index current; nothing when the
    // user cancels (or there is no desktop).
    virtual std::optional<std::string> askChoice(const std::string& /*title*/,
                                                 const std::string& /*label*/,
                                                 const std::vector<std::string>& /*choices*/,
                                                 int /*current*/) {
        return std::nullopt;
    }
    // Asks for a whole number from min to max; nothing when the user cancels.
    virtual std::optional<int> askNumber(const std::string& /*title*/, const std::string& /*label*/,
                                         int /*value*/, int /*min*/, int /*max*/) {
        return std::nullopt;
    }
    // Asks which of the named choices to tick, each starting as `ticked` has it; nothing when
    // the user cancels (or there is no desktop).
    virtual std::optional<std::vector<bool>> askChecks(const std::string& /*title*/,
                                                       const std::string& /*label*/,
                                                       const std::vector<std::string>& /*names*/,
                                                       const std::vector<bool>& /*ticked*/) {
        return std::nullopt;
    }
    // Asks for a folder to write files into; nothing when the user cancels (or there is no
    // desktop).
    virtual std::optional<std::string> askFolder(const std::string& /*title*/) {
        return std::nullopt;
    }
    // The size in device pixels of the screen the window is on; without a desktop, none.
    virtual std::optional<SurfaceSize> screenPixels() { return std::nullopt; }
    // That screen's resolution in dots per inch; none when it is not known.
    virtual std::optional<double> screenDotsPerInch() { return std::nullopt; }

    // One question of a form: a whole number from min to max, or one of the choices.
    struct FormQuestion {
        std::string label;
        std::vector<std::string> choices; // empty: a number
        int value = 0, min = 0, max = 0;  // the number, or the choice shown first
    };
    // Asks the questions together: the answers in order (the number, or the index of the
    // choice), or nothing when the user cancels (or there is no desktop).
    virtual std::optional<std::vector<int>> askForm(const std::string& /*title*/,
                                                    const std::vector<FormQuestion>& /*qs*/) {
        return std::nullopt;
    }

    // Long work for a thread of its own, while the window goes on answering. run is told now
    // and then how far it has come (0 to 1) and stops when told false (the user cancelled);
    // what it returns goes to the status line. It must not touch the window.
    struct BackgroundWork {
        std::string caption; // beside the progress bar
        std::function<std::string(const std::function<bool(double)>& progress)> run;
    };
    // Starts the work; false when earlier work still runs. Without a desktop it runs at once.
    virtual bool runInBackground(BackgroundWork w) {
        status(w.run([](double) { return true; }));
        return true;
    }

    // Short work beside the window: each job's run on a worker thread, a few at a time, then
    // its done on the window's thread as a handler. run must not touch the window (and is told
    // nothing of it failing beyond what it leaves for done). Without a desktop each run and its
    // done follow at once, in order.
    struct Job {
        std::function<void()> run, done;
    };
    virtual void runOnWorkers(std::vector<Job> jobs) {
        for (Job& j : jobs) {
            j.run();
            j.done();
        }
    }

  protected:
    // Shows a new warning (warn has made sure it is new).
    virtual void showWarning(const std::string& text) { warning = text; }

  private:
    std::string warned_;
};

} // namespace vx
