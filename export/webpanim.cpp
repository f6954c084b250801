// Animated WebP files. libwebp's WebPAnimEncoder finds what changed between frames and keeps
// only that, but it holds the whole animation until it assembles it; so frames go to it in
// segments, each assembled and written out as soon as it is full. Every segment starts with a
// whole frame, so the segments follow one another in one file whose header is filled in last.
#include "export/motion.hpp"
#include "surface/surface.hpp"

#include <webp/demux.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <cmath>
#include <cstdint>

namespace vx {

namespace {

// Frames that change, per segment: a few megabytes of encoded frames at most.
constexpr int kSegmentFrames = 240;
constexpr uint64_t kMaxRiffBytes = 0xFFFFFFF0ull;
constexpr uint64_t kFlagsOffset = 20; // the VP8X chunk's flags byte

void putLe(std::string& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}

class WebPFile : public FrameSink {
  public:
    WebPFile(PendingFile& out, const MotionSettings& video) : out_(out), video_(video) {}
    ~WebPFile() override {
        if (encoder_) WebPAnimEncoderDelete(encoder_);
        WebPPictureFree(&picture_);
    }
    Status open();
    Status add(const Surface& frame, bool same) override;
    Status finish() override;

  private:
    Status startSegment();
    Status endSegment();
    Status appendFrames(const WebPData& data, int segmentMs);
    // Milliseconds from the start of the segment to the start of frame n.
    int segmentMs(long n) const {
        auto ms = [this](long f) {
            return std::lround(static_cast<double>(f) * 1000.0 / video_.fps);
        };
        return static_cast<int>(ms(n) - ms(segmentStart_));
    }

    PendingFile& out_;
    MotionSettings video_;
    WebPAnimEncoder* encoder_ = nullptr;
    WebPConfig config_{};
    WebPPicture picture_{};
    long next_ = 0, segmentStart_ = 0;
    int segmentFrames_ = 0;
    bool alpha_ = false, open_ = false;
};

Status WebPFile::open() {
    if (!WebPConfigInit(&config_) || !WebPPictureInit(&picture_))
        return fail("this libwebp does not match the program");
    // Lossless: flat colours come out exact, and small. Level 1 of 9 is quick.
    WebPConfigLosslessPreset(&config_, 1);
    picture_.use_argb = 1;
    picture_.width = video_.width;
    picture_.height = video_.height;
    std::string head = "RIFF";
    putLe(head, 0, 4); // filled in by finish()
    head += "WEBPVP8X";
    putLe(head, 10, 4);
    putLe(head, 0, 4); // flags, filled in by finish(), and three reserved bytes
    putLe(head, static_cast<uint32_t>(video_.width - 1), 3);
    putLe(head, static_cast<uint32_t>(video_.height - 1), 3);
    head += "ANIM";
    putLe(head, 6, 4);
    putLe(head, 0xFF000000u, 4); // opaque black behind the frames
    putLe(head, 0, 2);           // looping for ever
    if (Status s = out_.append(head); !s) return s;
    open_ = true;
    return startSegment();
}

Status WebPFile::startSegment() {
    WebPAnimEncoderOptions o;
    if (!WebPAnimEncoderOptionsInit(&o)) return fail("this libwebp does not match the program");
    o.anim_params.loop_count = 0;
    o.allow_mixed = 0;
    encoder_ = WebPAnimEncoderNew(video_.width, video_.height, &o);
    if (!encoder_) return fail("not enough memory for the animated WebP encoder");
    segmentStart_ = next_;
    segmentFrames_ = 0;
    return {};
}

Status WebPFile::add(const Surface& frame, bool same) {
    if (!open_) return fail("the animated WebP is not open");
    if (frame.width() != video_.width || frame.height() != video_.height)
        return fail("a frame has another size than the animation");
    // The encoder makes a repeated frame last longer by itself; it need not see it.
    if (same && next_ > 0) {
        ++next_;
        return {};
    }
    if (segmentFrames_ >= kSegmentFrames) {
        if (Status s = endSegment(); !s) return s;
        if (Status s = startSegment(); !s) return s;
    }
    const auto* pixels = reinterpret_cast<const uint8_t*>(frame.rowData(0));
    if (!WebPPictureImportRGBX(&picture_, pixels, video_.width * 4))
        return fail("not enough memory for a frame");
    if (!WebPAnimEncoderAdd(encoder_, &picture_, segmentMs(next_), &config_))
        return fail(std::string("the WebP encoder failed: ") + WebPAnimEncoderGetError(encoder_));
    ++next_;
    ++segmentFrames_;
    return {};
}

Status WebPFile::endSegment() {
    const int end = segmentMs(next_);
    WebPData data;
    WebPDataInit(&data);
    const bool ok = WebPAnimEncoderAdd(encoder_, nullptr, end, nullptr) &&
                    WebPAnimEncoderAssemble(encoder_, &data);
    const std::string why = ok ? "" : WebPAnimEncoderGetError(encoder_);
    WebPAnimEncoderDelete(encoder_);
    encoder_ = nullptr;
    if (!ok) {
        WebPDataClear(&data);
        return fail("the WebP encoder failed: " + why);
    }
    Status s = appendFrames(data, end);
    WebPDataClear(&data);
    return s;
}

// The segment's frames as ANMF chunks of the file. A segment of one frame comes back as a
// still image, which becomes one frame lasting the whole segment.
Status WebPFile::appendFrames(const WebPData& data, int segmentMs) {
    WebPDemuxer* demux = WebPDemux(&data);
    if (!demux) return fail("the WebP encoder made a segment that cannot be read");
    const uint32_t flags = WebPDemuxGetI(demux, WEBP_FF_FORMAT_FLAGS);
    const bool animated = flags & ANIMATION_FLAG;
    alpha_ = alpha_ || (flags & ALPHA_FLAG);
    WebPIterator it;
    Status s;
    for (bool more = WebPDemuxGetFrame(demux, 1, &it); more && s; more = WebPDemuxNextFrame(&it)) {
        std::string head = "ANMF";
        const size_t payload = 16 + it.fragment.size;
        putLe(head, static_cast<uint32_t>(payload + payload % 2), 4);
        putLe(head, static_cast<uint32_t>(it.x_offset / 2), 3);
        putLe(head, static_cast<uint32_t>(it.y_offset / 2), 3);
        putLe(head, static_cast<uint32_t>(it.width - 1), 3);
        putLe(head, static_cast<uint32_t>(it.height - 1), 3);
        putLe(head, static_cast<uint32_t>(animated ? it.duration : segmentMs), 3);
        const bool noBlend = !animated || it.blend_method == WEBP_MUX_NO_BLEND;
        const bool dispose = animated && it.dispose_method == WEBP_MUX_DISPOSE_BACKGROUND;
        head.push_back(static_cast<char>((noBlend ? 2 : 0) | (dispose ? 1 : 0)));
        head.append(reinterpret_cast<const char*>(it.fragment.bytes), it.fragment.size);
        if (payload % 2) head.push_back('\0');
        if (out_.size() + head.size() > kMaxRiffBytes)
            s = fail("an animated WebP file cannot be larger than 4 GB");
        else
            s = out_.append(head);
    }
    WebPDemuxReleaseIterator(&it);
    WebPDemuxDelete(demux);
    return s;
}

Status WebPFile::finish() {
    if (!open_) return fail("the animated WebP is not open");
    open_ = false;
    if (next_ == 0) return fail("an animation needs at least one frame");
    if (Status s = endSegment(); !s) return s;
    std::string size;
    putLe(size, static_cast<uint32_t>(out_.size() - 8), 4);
    if (Status s = out_.writeAt(4, size); !s) return s;
    const char flags = static_cast<char>(ANIMATION_FLAG | (alpha_ ? ALPHA_FLAG : 0));
    return out_.writeAt(kFlagsOffset, std::string(1, flags));
}

} // namespace

Result<std::unique_ptr<FrameSink>> openWebPFile(PendingFile& out, const MotionSettings& video) {
    auto file = std::make_unique<WebPFile>(out, video);
    if (Status s = file->open(); !s) return s.error();
    return std::unique_ptr<FrameSink>(std::move(file));
}

} // namespace vx
