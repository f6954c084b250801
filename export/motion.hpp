#pragma once
// Motion leaving the program: videos (H.264 in MP4, VP9 in WebM), animated GIF and WebP
// files, and folders of numbered PNG frames. Every writer takes the frames one by one as they
// are made and keeps none of them beyond what its encoder needs, so memory stays flat
// whatever the length; a file goes to a hidden temporary that takes its name only when whole.
#include "base/result.hpp"
#include "platform/files.hpp"

#include <memory>
#include <string>

namespace vx {

class Surface;

enum class MotionFormat { Mp4, WebM, WebP, Gif };

// The largest frame a video is made at: 4K both ways, which every H.264 player takes.
constexpr int kMotionMaxSide = 4096;
constexpr int kMotionMinFps = 1, kMotionMaxFps = 120;

struct MotionSettings {
    int width = 0, height = 0;
    int fps = 30;
    MotionFormat format = MotionFormat::Mp4;
};

// The file ending of a format, with its dot.
const char* motionSuffix(MotionFormat f);
// What a format cannot take of a video ("" when it takes it): H.264 and VP9 in 4:2:0 need an
// even width and height.
std::string motionSizeProblem(const MotionSettings& s);

// Takes the frames of one recording in order. `same` says the frame equals the one before,
// which lets the animated images lengthen that frame instead of adding one. All frames have
// the video's size.
class FrameSink {
  public:
    virtual ~FrameSink() = default;
    virtual Status add(const Surface& frame, bool same) = 0;
    // Ends the stream: encoders drained, trailers and headers written. The file is whole
    // afterwards but still under its temporary name.
    virtual Status finish() = 0;
};

// A sink writing the video's format into the pending file.
Result<std::unique_ptr<FrameSink>> openMotionFile(PendingFile& out, const MotionSettings& video);

// A sink writing frame00001.png, frame00002.png ... into folder (made when missing), each
// file whole or not at all. A folder that holds frames already is refused (frameFolderFree).
Result<std::unique_ptr<FrameSink>> openFrameFolder(const std::string& folder);

// Fails when folder holds frame files (frame + digits + ".png"): a new recording would
// overwrite them, and leave those of a longer one after its own. Other files do not count.
Status frameFolderFree(const std::string& folder);

// The name of the n-th frame (from 1) in a folder of frames.
std::string frameFileName(long n);

// Internals of openMotionFile, one per library.
Result<std::unique_ptr<FrameSink>> openLibavFile(PendingFile& out, const MotionSettings& video);
Result<std::unique_ptr<FrameSink>> openWebPFile(PendingFile& out, const MotionSettings& video);

} // namespace vx
