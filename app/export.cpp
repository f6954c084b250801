#include "app/export.hpp"

#include "app/growth.hpp"
#include "app/motion.hpp"
#include "app/output.hpp"
#include "app/penoutline.hpp"
#include "export/bmp.hpp"
#include "export/png.hpp"
#include "export/trace.hpp"
#include "export/vector.hpp"
#include "model/code.hpp"
#include "model/fields.hpp"
#include "platform/files.hpp"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

namespace vx {

namespace {

using Format = RenderOptions::Format;

// "pattern" or "shape": what is on screen, or nothing before the first drawing.
const char* shownKind(const Shapes& sh) {
    return sh.st.bbmv == kShownPattern ? "pattern" : sh.st.bbmv == kShownShape ? "shape" : nullptr;
}

// What "Save shape" writes: the window for a pattern, the shape's picture for a shape.
const Surface& shownPicture(const Shapes& sh) {
    return sh.st.bbmv == kShownPattern ? sh.surface : sh.picture1;
}

std::string currentCode(const Shapes& sh) {
    const std::string* code = sh.history.current();
    return code ? *code : std::string();
}

// "pattern1.svg in /home/me/drawings"
std::string whereWritten(const std::string& file) {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::absolute(file, ec);
    if (ec) return file;
    return p.filename().string() + " in " + p.parent_path().string();
}

// A file of the window's: at the screen's resolution (96 dots per inch when it is not known),
// keeping the drawing's code.
PictureFile windowPicture(Shapes& sh) {
    PictureFile f;
    const std::optional<double> dpi = sh.platform->screenDotsPerInch();
    f.dpi = dpi ? std::clamp(static_cast<int>(std::lround(*dpi)), 1, 100000) : 96;
    f.dotsPerMetre = static_cast<int>(std::lround(f.dpi / 0.0254));
    f.code = currentCode(sh);
    return f;
}

bool saysNothingDrawn(Shapes& sh, const std::string& what) {
    if (shownKind(sh)) return false;
    sh.platform->status("Nothing has been drawn yet, so there is nothing to " + what + ".");
    return true;
}

void exportVector(Shapes& sh, Format format) {
    if (saysNothingDrawn(sh, "export")) return;
    const std::string kind = shownKind(sh);
    const bool svg = format == Format::Svg;
    const std::string suffix = svg ? ".svg" : ".pdf";
    const int n = firstFreeNumber(kind, suffix);
    const std::optional<std::string> file =
        sh.platform->askSaveFile(svg ? "Export drawing as SVG" : "Export drawing as PDF",
                                 n > 0 ? kind + std::to_string(n) + suffix : kind + suffix,
                                 svg ? "SVG drawings (*.svg)" : "PDF documents (*.pdf)");
    if (!file || file->empty()) {
        sh.platform->status("Nothing was exported.");
        return;
    }
    PictureFile f = windowPicture(sh);
    f.format = format;
    f.drawing = sh.lastDrawing;
    Status written = regularOrAbsent(*file);
    if (written && !mayReplace(sh, *file)) return;
    std::string note;
    if (written) {
        const Result<std::string> bytes = encodePicture(shownPicture(sh), f, &note);
        written = bytes ? writeFileAtomically(*file, *bytes) : Status(bytes.error());
    }
    if (!note.empty()) note = "; " + note;
    sh.platform->status(written ? "Exported the " + kind + " as " + whereWritten(*file) + note + "."
                                : "The " + kind + " was not exported as " + *file + ": " +
                                      written.error().message + ".");
}

// What "Record video..." asks, in the order asked.
struct RecordingAnswer {
    int seconds = 10;
    MotionFormat format = MotionFormat::Mp4;
    bool growth = false; // the drawing being made, else screen-saver mode from it
};

constexpr MotionFormat kRecordingFormats[] = {MotionFormat::Mp4, MotionFormat::WebM,
                                              MotionFormat::WebP, MotionFormat::Gif};

std::optional<RecordingAnswer> askRecording(Shapes& sh) {
    const std::vector<Platform::FormQuestion> questions = {
        {"Length in seconds (1 to 600):", {}, kRenderDefaultLength, 1, kRenderMaxLength},
        {"Format:", {"MP4 video (H.264)", "WebM video (VP9)", "Animated WebP", "Animated GIF"}},
        {"Record:", {"Screen-saver mode from this drawing", "Growth of this drawing"}},
    };
    const std::optional<std::vector<int>> a = sh.platform->askForm("Record video", questions);
    if (!a) {
        sh.platform->status("No video was recorded.");
        return std::nullopt;
    }
    if (a->size() != questions.size() || (*a)[0] < 1 || (*a)[0] > kRenderMaxLength || (*a)[1] < 0 ||
        (*a)[1] >= static_cast<int>(std::size(kRecordingFormats)) || (*a)[2] < 0 || (*a)[2] > 1) {
        sh.platform->status("No video was recorded: the length must be from 1 to " +
                            std::to_string(kRenderMaxLength) + " seconds.");
        return std::nullopt;
    }
    return RecordingAnswer{(*a)[0], kRecordingFormats[(*a)[1]], (*a)[2] == 1};
}

// Screen-saver mode as the window has it: from the drawing on screen at the window's size (cut
// to what a video takes), with the period and the glide's speed of the window.
SaverMotion windowMotion(const Shapes& sh, MotionSettings& video) {
    const bool yuv = video.format == MotionFormat::Mp4 || video.format == MotionFormat::WebM;
    video.width = std::clamp(sh.surface.width(), 2, kMotionMaxSide);
    video.height = std::clamp(sh.surface.height(), 2, kMotionMaxSide);
    if (yuv) {
        video.width &= ~1;
        video.height &= ~1;
    }
    SaverMotion m;
    m.first = *sh.lastDrawing;
    m.first.width = video.width;
    m.first.height = video.height;
    m.seconds = fieldValue(kSecondsField, sh.form.text(kSecondsField.name));
    m.slow = sh.st.nwait4 == 1;
    m.fps = video.fps;
    return m;
}

// The status line once a recording has ended, however it ended.
std::string recordingOutcome(const Result<std::string>& r, const MotionSettings& video, int seconds,
                             bool growth) {
    if (r)
        return "Recorded " + std::to_string(seconds) + " s of " +
               (growth ? "the growth of this drawing (" : "screen-saver mode (") +
               std::to_string(video.width) + " x " + std::to_string(video.height) + ", " +
               std::to_string(video.fps) + " frames a second) as " + whereWritten(*r) + ".";
    if (r.error().message == kRecordingCancelled)
        return "The recording was cancelled; no video was written.";
    return "The video was not recorded: " + r.error().message + ".";
}

} // namespace

Result<std::string> encodePicture(const Surface& picture, const PictureFile& f, std::string* note) {
    if (note) note->clear();
    if (picture.width() <= 0 || picture.height() <= 0) return fail("the picture is empty");
    const int scale = std::max(1, f.scale);
    switch (f.format) {
    case Format::Bmp:
        return encodeBmp24(picture, f.dotsPerMetre > 0 ? f.dotsPerMetre : kScreenDotsPerMetre,
                           scale);
    case Format::Png: {
        PngOptions o;
        o.scale = scale;
        o.dotsPerMetre = f.dotsPerMetre;
        o.texts.push_back({"Software", "Vortalis"});
        if (!f.code.empty()) o.texts.push_back({"Drawing code", f.code});
        return encodePng(picture, o);
    }
    case Format::Svg:
    case Format::Pdf: {
        VecPage page;
        page.scale = scale;
        page.dpi = f.dpi;
        page.title = f.code.empty() ? "Vortalis drawing" : "Vortalis drawing " + f.code;
        const VecDrawing traced = tracedDrawing(picture, f.drawing ? &*f.drawing : nullptr, f.tile);
        if (!traced.outlineLines) {
            if (f.plotter) return fail("the drawing could not be made again for its pens' lines");
            if (note) *note = kTracedOutline;
        }
        if (f.format == Format::Pdf) return pdfFile(traced, page);
        return f.plotter ? plotterSvgFile(traced, page) : svgFile(traced, page);
    }
    default:
        break;
    }
    return fail("unknown file format");
}

Result<Surface> patternTile(const Drawing& d) {
    if (d.kind != DrawingKind::Pattern)
        return fail("a single shape has no tile; --tile is for patterns");
    int s = 0;
    const Surface whole = renderDrawing(d, &s);
    if (whole.width() < s || whole.height() < s)
        return fail("the surface (" + std::to_string(whole.width()) + " x " +
                    std::to_string(whole.height()) + ") is smaller than one tile of the pattern (" +
                    std::to_string(s) + " x " + std::to_string(s) + ")");
    Surface tile(s - 1, s - 1);
    tile.paint(whole, 0, 0, 1, 1, s - 1, s - 1);
    return tile;
}

int largestScale(int w, int h) {
    if (w <= 0 || h <= 0) return 1;
    int n = kRenderMaxScale;
    while (n > 1 && (static_cast<long long>(w) * n > kRenderMaxSide ||
                     static_cast<long long>(h) * n > kRenderMaxSide ||
                     static_cast<long long>(w) * h * n * n > kRenderMaxPixels))
        --n;
    return n;
}

void exportSvgClick(Shapes& sh) {
    exportVector(sh, Format::Svg);
}

void exportPdfClick(Shapes& sh) {
    exportVector(sh, Format::Pdf);
}

void posterClick(Shapes& sh) {
    if (saysNothingDrawn(sh, "make a poster of")) return;
    const std::string kind = shownKind(sh);
    const Surface& picture = shownPicture(sh);
    const int most = largestScale(picture.width(), picture.height());
    const std::optional<int> factor = sh.platform->askNumber(
        "Save poster",
        "Make the " + kind + " larger by (1 to " + std::to_string(most) + "):", std::min(4, most),
        1, most);
    if (!factor) {
        sh.platform->status("No poster was saved.");
        return;
    }
    if (*factor < 1 || *factor > most) {
        sh.platform->status("No poster was saved: the factor must be from 1 to " +
                            std::to_string(most) + ".");
        return;
    }
    PictureFile f = windowPicture(sh);
    f.scale = *factor;
    const Result<std::string> bytes = encodePicture(picture, f);
    const Result<std::string> file =
        bytes ? writeNewNumbered("poster", ".png", *bytes) : Result<std::string>(bytes.error());
    const std::string size = std::to_string(picture.width() * *factor) + " x " +
                             std::to_string(picture.height() * *factor);
    sh.platform->status(file ? "Saved the poster (" + size + ", " + std::to_string(*factor) +
                                   " times the " + kind + ") as " + whereWritten(*file) + "."
                             : "The poster was not saved: " + file.error().message + ".");
}

void wallpaperClick(Shapes& sh) {
    if (saysNothingDrawn(sh, "make a wallpaper of")) return;
    const std::optional<SurfaceSize> screen = sh.platform->screenPixels();
    if (!screen || screen->width <= 0 || screen->height <= 0) {
        sh.platform->status("The size of the screen is not known, so no wallpaper was saved.");
        return;
    }
    Result<Drawing> d = decodeDrawing(currentCode(sh));
    if (!d) {
        sh.platform->status("No wallpaper was saved: " + d.error().message + ".");
        return;
    }
    // A single shape gives the pattern of the same settings and seed.
    const bool fromShape = d->kind == DrawingKind::Shape;
    d->kind = DrawingKind::Pattern;
    const SurfaceSize size = cappedSurfaceSize(screen->width, screen->height);
    d->width = size.width;
    d->height = size.height;
    PictureFile f = windowPicture(sh);
    f.code = drawingCode(*d);
    const Result<std::string> bytes = encodePicture(renderDrawing(*d), f);
    const Result<std::string> file =
        bytes ? writeNewNumbered("wallpaper", ".png", *bytes) : Result<std::string>(bytes.error());
    const std::string what = std::to_string(size.width) + " x " + std::to_string(size.height) +
                             (fromShape ? " wallpaper of the pattern of this shape's settings"
                                        : " wallpaper of this pattern");
    sh.platform->status(file ? "Saved a " + what + " as " + whereWritten(*file) + "."
                             : "The wallpaper was not saved: " + file.error().message + ".");
}

void recordVideoClick(Shapes& sh) {
    if (saysNothingDrawn(sh, "record") || !sh.lastDrawing) return;
    const std::optional<RecordingAnswer> a = askRecording(sh);
    if (!a) return;
    MotionSettings video;
    video.format = a->format;
    video.fps = kRenderDefaultFps;
    const SaverMotion motion = windowMotion(sh, video);
    const long frames = recordingFrames(a->seconds, video.fps);
    const std::string suffix = motionSuffix(video.format);
    Platform::BackgroundWork work;
    work.caption =
        "Recording video" + std::to_string(std::max(1, firstFreeNumber("video", suffix))) + suffix;
    // Copies only: the work runs beside the window.
    work.run = [motion, video, frames, answer = *a](const std::function<bool(double)>& progress) {
        // A growing shape is as large as its picture.
        MotionSettings v = video;
        std::unique_ptr<FrameSource> source;
        if (answer.growth) {
            auto growth = std::make_unique<GrowthFrames>(motion.first, frames);
            v.width = growth->width();
            v.height = growth->height();
            source = std::move(growth);
        } else {
            source = std::make_unique<SaverFrames>(motion);
        }
        MotionTarget to;
        to.numbered = "video";
        const Result<std::string> r = recordMotion(*source, v, frames, to, [&](long done) {
            return progress(static_cast<double>(done) / static_cast<double>(frames));
        });
        return recordingOutcome(r, v, answer.seconds, answer.growth);
    };
    if (!sh.platform->runInBackground(std::move(work)))
        sh.platform->status("A video is being recorded already: wait for it, or cancel it.");
}

} // namespace vx
