#include "app/motion.hpp"

#include "app/generators.hpp"
#include "app/growth.hpp"
#include "app/render.hpp"
#include "app/startup.hpp"
#include "model/fields.hpp"

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

// The drawings after the first take their seeds from a source of their own, so that the
// first drawing's seed makes the whole recording again.
constexpr uint64_t kSeedSalt = 0x5DEECE66DULL;

} // namespace

double glideSpeed(bool slow) {
    // A pass moves the picture 0.01 pixel at "Fast", a whole pixel at "Slow".
    return slow ? kSlowPassesPerSecond * 1.0 : kFastPassesPerSecond * 0.01;
}

SaverFrames::SaverFrames(const SaverMotion& m, std::function<void(const Drawing&)> shown)
    : m_(m), shown_(std::move(shown)), seeds_(m.first.seed ^ kSeedSalt) {
    m_.seconds = std::clamp(m_.seconds, 1.0, 50.0);
    m_.fps = std::max(1, m_.fps);
    period_ = std::max(1L, std::lround(m_.seconds * m_.fps));
    current_ = m_.first;
    surface_ = Surface(m_.first.width, m_.first.height, kBorder);
    if (m_.first.kind == DrawingKind::Shape) {
        // Screen-saver mode starts the picture in the middle, drifting as the drawing's first
        // two numbers say.
        Random rng(m_.first.seed);
        const double step = glideSpeed(m_.slow) / m_.fps;
        dx_ = driftStep(rng) > 0 ? step : -step;
        dy_ = driftStep(rng) > 0 ? step : -step;
        const double side = m_.first.settings.size;
        x_ = std::floor(m_.first.width / 2.0) - side / 2;
        y_ = std::floor(m_.first.height / 2.0) - side / 2;
    }
}

void SaverFrames::nextDrawing() {
    if (frame_ > 0) {
        // The drawings after the first are coloured as their own seeds colour them.
        current_.seed = freshSeed(seeds_);
        current_.newColours = 0;
    }
    if (current_.kind == DrawingKind::Pattern) {
        // The last pattern goes before the next is made: one frame less at the peak.
        surface_ = Surface();
        surface_ = renderDrawing(current_);
    } else {
        picture_ = renderDrawing(current_);
        // Over black, as the window shows it in screen-saver mode.
        surface_.fillBox(0, 0, surface_.width(), surface_.height(), kBorder);
        shownX_ = shownY_ = 0;
    }
    if (shown_) shown_(current_);
}

void SaverFrames::glide() {
    const double side = current_.settings.size;
    if (frame_ > 0) {
        x_ += dx_;
        y_ += dy_;
    }
    bounce(x_, dx_, side, surface_.width());
    bounce(y_, dy_, side, surface_.height());
    // Only the picture's old place is cleared: the rest of the frame is black already.
    surface_.fillBox(shownX_, shownY_, shownX_ + picture_.width(), shownY_ + picture_.height(),
                     kBorder);
    shownX_ = toInt32(x_);
    shownY_ = toInt32(y_);
    surface_.paint(picture_, shownX_, shownY_, 0, 0, picture_.width(), picture_.height());
}

const Surface& SaverFrames::next(bool& same) {
    const bool fresh = frame_ % period_ == 0;
    if (fresh) nextDrawing();
    if (current_.kind == DrawingKind::Shape) glide();
    same = !fresh && current_.kind == DrawingKind::Pattern;
    ++frame_;
    return surface_;
}

long recordingFrames(int seconds, int fps) {
    return std::max(1L, static_cast<long>(seconds) * fps);
}

namespace {

Status feed(FrameSource& source, FrameSink& sink, long frames,
            const std::function<bool(long)>& progress) {
    for (long i = 0; i < frames; ++i) {
        if (progress && !progress(i)) return fail(kRecordingCancelled);
        bool same = false;
        const Surface& frame = source.next(same);
        if (Status s = sink.add(frame, same); !s) return s;
    }
    if (progress && !progress(frames)) return fail(kRecordingCancelled);
    return sink.finish();
}

} // namespace

Result<std::string> recordMotion(FrameSource& source, const MotionSettings& video, long frames,
                                 const MotionTarget& to,
                                 const std::function<bool(long)>& progress) {
    if (!to.folder.empty()) {
        Result<std::unique_ptr<FrameSink>> sink = openFrameFolder(to.folder);
        if (!sink) return sink.error();
        if (Status s = feed(source, **sink, frames, progress); !s) return s.error();
        return to.folder;
    }
    const std::string suffix = motionSuffix(video.format);
    const std::string name =
        to.numbered.empty()
            ? to.file
            : to.numbered + std::to_string(std::max(1, firstFreeNumber(to.numbered, suffix))) +
                  suffix;
    if (Status usable = regularOrAbsent(name); !usable) return usable.error();
    Result<PendingFile> out = PendingFile::create(name);
    if (!out) return out.error();
    Result<std::unique_ptr<FrameSink>> sink = openMotionFile(*out, video);
    if (!sink) return sink.error();
    if (Status s = feed(source, **sink, frames, progress); !s) return s.error();
    sink->reset();
    if (!to.numbered.empty()) return out->commitNumbered(to.numbered, suffix);
    if (Status s = out->commit(); !s) return s.error();
    return name;
}

Result<std::string> recordRendered(const RenderOptions& o, const Drawing& first,
                                   std::function<void(const Drawing&)> shown) {
    MotionSettings video = renderMotionSettings(o);
    const long frames = recordingFrames(o.length.value_or(kRenderDefaultLength), video.fps);
    MotionTarget to;
    (o.frames ? to.folder : to.file) = o.frames ? *o.frames : o.output;
    Drawing d = first;
    d.width = video.width;
    d.height = video.height;
    if (o.growth) {
        GrowthFrames source(d, frames);
        video.width = source.width();
        video.height = source.height();
        if (shown) shown(d);
        return recordMotion(source, video, frames, to);
    }
    SaverMotion m;
    m.first = d;
    m.seconds = o.seconds ? fieldValue(kSecondsField, *o.seconds) : 10;
    m.slow = o.slow.value_or(false);
    m.fps = video.fps;
    SaverFrames source(m, std::move(shown));
    return recordMotion(source, video, frames, to);
}

} // namespace vx
