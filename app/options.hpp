#pragma once
// The command lines of both programs: one table of options read with CLI11, the checks of
// their values, the --help text made from the table, and the one-line refusals.
// parseRenderArgs (render.hpp) and parseSaverArgs (saver.hpp) read with it.
#include <optional>
#include <string>

namespace vx {

// vortalis (the window and the screen saver) or vortalis-render.
enum class Cli { Vortalis, Render };

// Ok: the renderer's options are fine. Run: the screen saver's are; None: no option of the
// screen saver, so the program is the window.
enum class ArgsStatus { Ok, Run, None, Help, Version, Bad };

// What the options of either program set of a drawing: field texts as given, two choices.
struct DrawingOptions {
    std::optional<std::string> size, detail, complexity, smoothness;
    std::optional<bool> fancy;
    enum class Colours { Basic, True, User };
    std::optional<Colours> colours;
};

// What --help prints, made from the table.
std::string usageText(Cli p);

// Help and version on stdout, a refusal on stderr (one line naming what is wrong and a hint);
// the exit status for them, or nothing when the program goes on.
std::optional<int> answerArgs(Cli p, ArgsStatus s, const std::string& error);

} // namespace vx
