#include "export/motion.hpp"

#include "export/png.hpp"
#include "surface/surface.hpp"

#include <cstdio>
#include <filesystem>

namespace vx {

namespace {

class FrameFolder : public FrameSink {
  public:
    explicit FrameFolder(std::string folder) : folder_(std::move(folder)) {}

    Status add(const Surface& frame, bool same) override {
        // A frame like the one before is the same file again, without encoding it again.
        if (!same || bytes_.empty()) {
            PngOptions o;
            o.texts.push_back({"Software", "Vortalis"});
            Result<std::string> png = encodePng(frame, o);
            if (!png) return png.error();
            bytes_ = std::move(*png);
        }
        const std::string name = folder_ + "/" + frameFileName(++count_);
        if (Status s = regularOrAbsent(name); !s)
            return fail("cannot write " + name + ": " + s.error().message);
        // Not synced one by one: thousands of syncs would cost more than the frames; each
        // file is still whole or absent.
        if (Status s = writeFileAtomically(name, bytes_, Durability::Scratch); !s)
            return fail("cannot write " + name + ": " + s.error().message);
        return {};
    }

    Status finish() override { return {}; }

  private:
    std::string folder_;
    std::string bytes_;
    long count_ = 0;
};

// frame, digits, .png
bool isFrameFile(const std::string& name) {
    if (name.size() <= 9 || name.compare(0, 5, "frame") != 0 ||
        name.compare(name.size() - 4, 4, ".png") != 0)
        return false;
    return name.find_first_not_of("0123456789", 5) == name.size() - 4;
}

} // namespace

const char* motionSuffix(MotionFormat f) {
    switch (f) {
    case MotionFormat::Mp4:
        return ".mp4";
    case MotionFormat::WebM:
        return ".webm";
    case MotionFormat::WebP:
        return ".webp";
    case MotionFormat::Gif:
        return ".gif";
    }
    return "";
}

std::string motionSizeProblem(const MotionSettings& s) {
    const bool yuv = s.format == MotionFormat::Mp4 || s.format == MotionFormat::WebM;
    if (yuv && (s.width % 2 != 0 || s.height % 2 != 0))
        return std::string(s.format == MotionFormat::Mp4 ? "H.264" : "VP9") +
               " video needs an even width and height, not " + std::to_string(s.width) + " x " +
               std::to_string(s.height) + " (try " + std::to_string(s.width & ~1) + " x " +
               std::to_string(s.height & ~1) + ")";
    if (s.width > kMotionMaxSide || s.height > kMotionMaxSide)
        return "a video may be at most " + std::to_string(kMotionMaxSide) + " x " +
               std::to_string(kMotionMaxSide) + " pixels, not " + std::to_string(s.width) + " x " +
               std::to_string(s.height);
    if (s.width < 2 || s.height < 2) return "a video needs at least 2 x 2 pixels";
    return "";
}

Result<std::unique_ptr<FrameSink>> openMotionFile(PendingFile& out, const MotionSettings& video) {
    if (const std::string problem = motionSizeProblem(video); !problem.empty())
        return fail(problem);
    if (video.fps < kMotionMinFps || video.fps > kMotionMaxFps)
        return fail("the frame rate must be from " + std::to_string(kMotionMinFps) + " to " +
                    std::to_string(kMotionMaxFps));
    if (video.format == MotionFormat::WebP) return openWebPFile(out, video);
    return openLibavFile(out, video);
}

Result<std::unique_ptr<FrameSink>> openFrameFolder(const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) return fail("cannot make the folder " + folder + ": " + ec.message());
    if (!std::filesystem::is_directory(folder, ec)) return fail(folder + " is not a folder");
    if (Status free = frameFolderFree(folder); !free) return free.error();
    return std::unique_ptr<FrameSink>(new FrameFolder(folder));
}

Status frameFolderFree(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    if (ec) return {}; // missing: made afresh; unreadable: making it says why
    for (; it != end; it.increment(ec)) {
        if (ec) return fail("cannot read the folder " + folder + ": " + ec.message());
        const std::string name = it->path().filename().string();
        if (!isFrameFile(name)) continue;
        return fail("the folder " + folder + " holds frames already (" + name +
                    "): remove them or name another folder");
    }
    return {};
}

std::string frameFileName(long n) {
    char name[32];
    std::snprintf(name, sizeof name, "frame%05ld.png", n);
    return name;
}

} // namespace vx
