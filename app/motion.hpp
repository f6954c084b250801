#pragma once
// Recordings: what screen-saver mode shows, frame by frame, written as a video, an animated
// image or a folder of frames. A recording takes its frames from a FrameSource, so that other
// kinds of motion plug in beside screen-saver mode.
#include "base/result.hpp"
#include "export/motion.hpp"
#include "model/drawing.hpp"
#include "surface/numeric.hpp"
#include "surface/surface.hpp"

#include <functional>
#include <string>

namespace vx {

// Frames one after another, all of one size.
class FrameSource {
  public:
    virtual ~FrameSource() = default;
    // The next frame; same is set when it equals the one before. The frame stays valid until
    // the next call.
    virtual const Surface& next(bool& same) = 0;
};

// Screen-saver mode from a drawing: patterns replacing each other every period, or, when the
// drawing is a shape, single shapes gliding and bouncing over black, a new one every period.
struct SaverMotion {
    Drawing first;       // shown first; its size is the frames' size
    double seconds = 10; // the period, as "Seconds waited (scr-mode):" (1 to 50)
    bool slow = false;   // the glide at "Slow", else at "Fast"
    int fps = 30;
};

// The glide's speed along each axis, in pixels a second, as the window shows it.
double glideSpeed(bool slow);

class SaverFrames : public FrameSource {
  public:
    // shown is told of each drawing as it comes on (the first one too).
    explicit SaverFrames(const SaverMotion& m, std::function<void(const Drawing&)> shown = {});
    const Surface& next(bool& same) override;

  private:
    void nextDrawing();
    void glide();

    SaverMotion m_;
    std::function<void(const Drawing&)> shown_;
    Random seeds_;
    long period_ = 1; // frames per drawing
    long frame_ = 0;
    Drawing current_;
    Surface surface_, picture_;
    double x_ = 0, y_ = 0, dx_ = 0, dy_ = 0; // the gliding picture's place and step a frame
    int shownX_ = 0, shownY_ = 0;
};

// Frames of a recording of `seconds` at fps: at least one.
long recordingFrames(int seconds, int fps);

// Where a recording goes: the file named (replaced when whole), the first free name
// numbered + n + the format's ending (claimed as saves claim theirs), or a folder of frames.
struct MotionTarget {
    std::string file;
    std::string numbered;
    std::string folder;
};

// Records frames of source to the target; progress is told the frames done and returns false
// to cancel. Returns the name written. A failure or a cancel leaves no file under the final
// name; frames already written to a folder stay.
Result<std::string> recordMotion(FrameSource& source, const MotionSettings& video, long frames,
                                 const MotionTarget& to,
                                 const std::function<bool(long)>& progress = {});

struct RenderOptions;
// vortalis-render's motion: screen-saver mode from the first drawing as the options ask, or
// its growth; shown is told of each drawing as it comes on. Returns the file or folder
// written.
Result<std::string> recordRendered(const RenderOptions& o, const Drawing& first,
                                   std::function<void(const Drawing&)> shown);

// The message of a recording cancelled.
inline const char* kRecordingCancelled = "the recording was cancelled";

} // namespace vx
