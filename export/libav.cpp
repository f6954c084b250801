// Videos and GIF files through FFmpeg's libraries: H.264 (libx264) in MP4 with its index at
// the front, VP9 (libvpx) in WebM, both in 4:2:0 with BT.709 colours as players expect of
// HD; GIF with a palette made for each frame that changes (palettegen, paletteuse).
#include "export/motion.hpp"
#include "surface/surface.hpp"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace vx {

namespace {

std::string avError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

Error avFail(const std::string& what, int code) {
    return fail(what + " (" + avError(code) + ")");
}

// A frame of more colours than a GIF's palette takes gets a palette made for it, keeping one
// entry for the pixels that stay as they were; flat regions are not dithered.
constexpr const char* kGifFilters = "split[a][b];[a]palettegen=stats_mode=single[p];"
                                    "[b][p]paletteuse=new=1:dither=none";

struct Codec {
    const char* muxer;
    const char* encoder;
    AVPixelFormat pixels;
};

Codec codecOf(MotionFormat f) {
    switch (f) {
    case MotionFormat::WebM:
        return {"webm", "libvpx-vp9", AV_PIX_FMT_YUV420P};
    case MotionFormat::Gif:
        return {"gif", "gif", AV_PIX_FMT_PAL8};
    default:
        return {"mp4", "libx264", AV_PIX_FMT_YUV420P};
    }
}

class LibavFile : public FrameSink {
  public:
    ~LibavFile() override;
    Status open(PendingFile& out, const MotionSettings& video);
    Status add(const Surface& frame, bool same) override;
    Status finish() override;

  private:
    Status openEncoder();
    Status openGifFilters();
    Status convert(const Surface& frame);
    Status gifFrame(const Surface* frame);
    bool exactPalette(const Surface& frame);
    Status encode(AVFrame* f);
    Status drainFilters();

    MotionSettings video_;
    Codec codec_{};
    AVFormatContext* format_ = nullptr;
    AVCodecContext* encoder_ = nullptr;
    AVStream* stream_ = nullptr;
    SwsContext* sws_ = nullptr;
    AVFrame* frame_ = nullptr;    // the frame as the encoder takes it
    AVFrame* filtered_ = nullptr; // a GIF frame out of the filters
    AVPacket* packet_ = nullptr;
    AVFilterGraph* graph_ = nullptr;
    AVFilterContext *source_ = nullptr, *sink_ = nullptr;
    int64_t next_ = 0;           // the number of the next frame
    bool pendingSame_ = false;   // a GIF frame held back because it repeats the one before
    AVFrame* indexed_ = nullptr; // a GIF frame of few colours, in its exact palette
    bool lastIndexed_ = false;   // the last GIF frame sent was that one
    std::vector<uint32_t> colours_;
    std::unordered_map<uint32_t, uint8_t> index_;
    bool opened_ = false;
    bool headerWritten_ = false; // the muxer holds state that only its trailer frees
};

LibavFile::~LibavFile() {
    if (headerWritten_) {
        // A cancelled or failed file is thrown away: the trailer only frees the muxer's state,
        // so the MP4 index is not moved to the front first.
        if (video_.format == MotionFormat::Mp4) av_opt_set(format_->priv_data, "movflags", "0", 0);
        av_write_trailer(format_);
    }
    if (format_ && format_->pb) avio_closep(&format_->pb);
    avformat_free_context(format_);
    avcodec_free_context(&encoder_);
    sws_freeContext(sws_);
    av_frame_free(&frame_);
    av_frame_free(&filtered_);
    av_frame_free(&indexed_);
    av_packet_free(&packet_);
    avfilter_graph_free(&graph_);
}

Status LibavFile::open(PendingFile& out, const MotionSettings& video) {
    static std::once_flag quiet;
    // Errors come back as codes and are said in the program's own words.
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
    video_ = video;
    codec_ = codecOf(video.format);
    // Through the file protocol only, whatever the temporary's name looks like; the MP4 muxer
    // opens it again by this name to move its index to the front.
    const std::string url = "file:" + out.path();
    int rc = avformat_alloc_output_context2(&format_, nullptr, codec_.muxer, url.c_str());
    if (rc < 0) return avFail("cannot start a " + std::string(codec_.muxer) + " file", rc);
    if (Status s = openEncoder(); !s) return s;
    stream_ = avformat_new_stream(format_, nullptr);
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (!stream_ || !frame_ || !packet_) return fail("not enough memory for the video");
    if ((rc = avcodec_parameters_from_context(stream_->codecpar, encoder_)) < 0)
        return avFail("cannot describe the video", rc);
    stream_->time_base = encoder_->time_base;
    stream_->avg_frame_rate = encoder_->framerate;
    if ((rc = avio_open(&format_->pb, url.c_str(), AVIO_FLAG_WRITE)) < 0)
        return avFail("cannot open " + out.path(), rc);
    AVDictionary* options = nullptr;
    // The index goes to the front, so that browsers play the file while it loads.
    if (video.format == MotionFormat::Mp4) av_dict_set(&options, "movflags", "+faststart", 0);
    // The last frame of a GIF lasts one frame; the frames before last until the next one.
    if (video.format == MotionFormat::Gif)
        av_dict_set_int(&options, "final_delay", std::max(1L, std::lround(100.0 / video.fps)), 0);
    rc = avformat_write_header(format_, &options);
    av_dict_free(&options);
    if (rc < 0) return avFail("cannot write the video's header", rc);
    headerWritten_ = opened_ = true;
    if (video.format == MotionFormat::Gif) return openGifFilters();
    frame_->format = codec_.pixels;
    frame_->width = video.width;
    frame_->height = video.height;
    if ((rc = av_frame_get_buffer(frame_, 0)) < 0) return avFail("not enough memory", rc);
    sws_ = sws_getContext(video.width, video.height, AV_PIX_FMT_RGB0, video.width, video.height,
                          codec_.pixels, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!sws_) return fail("cannot convert the frames' colours");
    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(sws_, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
    return {};
}

Status LibavFile::openEncoder() {
    const AVCodec* c = avcodec_find_encoder_by_name(codec_.encoder);
    if (!c) return fail("this FFmpeg has no " + std::string(codec_.encoder) + " encoder");
    encoder_ = avcodec_alloc_context3(c);
    if (!encoder_) return fail("not enough memory for the encoder");
    AVCodecContext& e = *encoder_;
    e.width = video_.width;
    e.height = video_.height;
    e.time_base = AVRational{1, video_.fps};
    e.framerate = AVRational{video_.fps, 1};
    e.pix_fmt = codec_.pixels;
    if (codec_.pixels == AV_PIX_FMT_YUV420P) {
        e.color_range = AVCOL_RANGE_MPEG;
        e.colorspace = AVCOL_SPC_BT709;
        e.color_primaries = AVCOL_PRI_BT709;
        e.color_trc = AVCOL_TRC_BT709;
    }
    if (format_->oformat->flags & AVFMT_GLOBALHEADER) e.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (video_.format == MotionFormat::Mp4) {
        // Flat colours with sharp edges: a low CRF keeps the one-pixel outlines.
        av_opt_set(e.priv_data, "preset", "veryfast", 0);
        av_opt_set(e.priv_data, "crf", "18", 0);
        av_opt_set(e.priv_data, "profile", "high", 0);
        // A short look-ahead and two threads keep 1080p within a quarter of a gigabyte.
        av_opt_set(e.priv_data, "x264-params", "rc-lookahead=5:sync-lookahead=0:threads=2", 0);
    } else if (video_.format == MotionFormat::WebM) {
        e.bit_rate = 0;
        // One thread: as fast here as two, and a quarter of a gigabyte is enough at 1080p.
        e.thread_count = 1;
        av_opt_set(e.priv_data, "crf", "24", 0);
        av_opt_set(e.priv_data, "deadline", "realtime", 0);
        av_opt_set(e.priv_data, "cpu-used", "8", 0);
        av_opt_set(e.priv_data, "lag-in-frames", "0", 0);
    }
    const int rc = avcodec_open2(encoder_, c, nullptr);
    if (rc < 0) return avFail("cannot start the " + std::string(codec_.encoder) + " encoder", rc);
    return {};
}

Status LibavFile::openGifFilters() {
    graph_ = avfilter_graph_alloc();
    filtered_ = av_frame_alloc();
    indexed_ = av_frame_alloc();
    if (!graph_ || !filtered_ || !indexed_) return fail("not enough memory for the GIF's palettes");
    indexed_->format = AV_PIX_FMT_PAL8;
    indexed_->width = video_.width;
    indexed_->height = video_.height;
    if (const int rc = av_frame_get_buffer(indexed_, 0); rc < 0)
        return avFail("not enough memory", rc);
    const std::string args = "video_size=" + std::to_string(video_.width) + "x" +
                             std::to_string(video_.height) +
                             ":pix_fmt=" + std::to_string(AV_PIX_FMT_RGB0) + ":time_base=1/" +
                             std::to_string(video_.fps) + ":pixel_aspect=1/1";
    int rc = avfilter_graph_create_filter(&source_, avfilter_get_by_name("buffer"), "in",
                                          args.c_str(), nullptr, graph_);
    if (rc >= 0)
        rc = avfilter_graph_create_filter(&sink_, avfilter_get_by_name("buffersink"), "out",
                                          nullptr, nullptr, graph_);
    if (rc < 0) return avFail("cannot make the GIF's palettes", rc);
    AVFilterInOut* outputs = avfilter_inout_alloc();
    AVFilterInOut* inputs = avfilter_inout_alloc();
    if (outputs && inputs) {
        outputs->name = av_strdup("in");
        outputs->filter_ctx = source_;
        inputs->name = av_strdup("out");
        inputs->filter_ctx = sink_;
        rc = avfilter_graph_parse_ptr(graph_, kGifFilters, &inputs, &outputs, nullptr);
        if (rc >= 0) rc = avfilter_graph_config(graph_, nullptr);
    } else {
        rc = AVERROR(ENOMEM);
    }
    avfilter_inout_free(&inputs);
    avfilter_inout_free(&outputs);
    if (rc < 0) return avFail("cannot make the GIF's palettes", rc);
    frame_->format = AV_PIX_FMT_RGB0;
    frame_->width = video_.width;
    frame_->height = video_.height;
    if ((rc = av_frame_get_buffer(frame_, 0)) < 0) return avFail("not enough memory", rc);
    return {};
}

Status LibavFile::convert(const Surface& f) {
    if (f.width() != video_.width || f.height() != video_.height)
        return fail("a frame has another size than the video");
    const int rc = av_frame_make_writable(frame_);
    if (rc < 0) return avFail("not enough memory", rc);
    const auto* pixels = reinterpret_cast<const uint8_t*>(f.rowData(0));
    const int stride = video_.width * 4;
    if (sws_) {
        sws_scale(sws_, &pixels, &stride, 0, video_.height, frame_->data, frame_->linesize);
        return {};
    }
    for (int y = 0; y < video_.height; ++y)
        std::memcpy(frame_->data[0] + static_cast<ptrdiff_t>(y) * frame_->linesize[0],
                    pixels + static_cast<ptrdiff_t>(y) * stride, static_cast<size_t>(stride));
    return {};
}

Status LibavFile::add(const Surface& frame, bool same) {
    if (!opened_) return fail("the video is not open");
    if (video_.format == MotionFormat::Gif) {
        // A repeated frame only lengthens the one before; the last is sent at finish().
        if (same && next_ > 0) {
            pendingSame_ = true;
            ++next_;
            return {};
        }
        pendingSame_ = false;
        lastIndexed_ = exactPalette(frame);
        if (!lastIndexed_) return gifFrame(&frame);
        indexed_->pts = next_++;
        return encode(indexed_);
    }
    if (!same || next_ == 0)
        if (Status s = convert(frame); !s) return s;
    frame_->pts = next_++;
    return encode(frame_);
}

// Drawings rarely have more than 255 colours. Such a frame is written in exactly its colours,
// in the order of their values, so that frames of the same colours share one palette and the
// encoder sends only what changed. False for a frame of more colours.
bool LibavFile::exactPalette(const Surface& f) {
    colours_.clear();
    index_.clear();
    for (int y = 0; y < f.height(); ++y) {
        const uint32_t* row = f.rowData(y);
        for (int x = 0; x < f.width(); ++x) {
            const uint32_t c = row[x] & 0xFFFFFFu;
            if ((x > 0 && c == (row[x - 1] & 0xFFFFFFu)) || !index_.emplace(c, 0).second) continue;
            if (colours_.size() == 255) return false;
            colours_.push_back(c);
        }
    }
    if (av_frame_make_writable(indexed_) < 0) return false;
    std::sort(colours_.begin(), colours_.end());
    auto* palette = reinterpret_cast<uint32_t*>(indexed_->data[1]);
    // The encoder takes the first frame's most transparent entry for pixels that stay as they
    // were: the last one, which no pixel uses.
    std::fill(palette, palette + 255, 0xFF000000u);
    palette[255] = 0;
    for (size_t i = 0; i < colours_.size(); ++i) {
        const uint32_t c = colours_[i];
        index_[c] = static_cast<uint8_t>(i);
        palette[i] = 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
    }
    for (int y = 0; y < f.height(); ++y) {
        const uint32_t* row = f.rowData(y);
        uint8_t* out = indexed_->data[0] + static_cast<ptrdiff_t>(y) * indexed_->linesize[0];
        for (int x = 0; x < f.width(); ++x) out[x] = index_[row[x] & 0xFFFFFFu];
    }
    return true;
}

// A new frame, or (without one) the last one sent again as the video's last frame.
Status LibavFile::gifFrame(const Surface* frame) {
    if (frame)
        if (Status s = convert(*frame); !s) return s;
    frame_->pts = frame ? next_++ : next_ - 1;
    const int rc = av_buffersrc_add_frame_flags(source_, frame_, AV_BUFFERSRC_FLAG_KEEP_REF);
    if (rc < 0) return avFail("cannot make the GIF's palette", rc);
    return drainFilters();
}

Status LibavFile::drainFilters() {
    for (;;) {
        const int rc = av_buffersink_get_frame(sink_, filtered_);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return {};
        if (rc < 0) return avFail("cannot make the GIF's palette", rc);
        filtered_->pict_type = AV_PICTURE_TYPE_NONE;
        Status s = encode(filtered_);
        av_frame_unref(filtered_);
        if (!s) return s;
    }
}

Status LibavFile::encode(AVFrame* f) {
    int rc = avcodec_send_frame(encoder_, f);
    if (rc < 0) return avFail("the encoder refused a frame", rc);
    for (;;) {
        rc = avcodec_receive_packet(encoder_, packet_);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return {};
        if (rc < 0) return avFail("the encoder failed", rc);
        av_packet_rescale_ts(packet_, encoder_->time_base, stream_->time_base);
        packet_->stream_index = stream_->index;
        rc = av_interleaved_write_frame(format_, packet_);
        if (rc < 0) return fail(avError(rc));
    }
}

Status LibavFile::finish() {
    if (!opened_) return fail("the video is not open");
    opened_ = false;
    if (graph_) {
        // The last frame goes out even when it repeats, so that the GIF lasts to its end.
        if (pendingSame_ && lastIndexed_) {
            indexed_->pts = next_ - 1;
            if (Status s = encode(indexed_); !s) return s;
        } else if (pendingSame_) {
            if (Status s = gifFrame(nullptr); !s) return s;
        }
        int rc = av_buffersrc_add_frame_flags(source_, nullptr, 0);
        if (rc < 0) return avFail("cannot end the GIF's palettes", rc);
        if (Status s = drainFilters(); !s) return s;
    }
    if (Status s = encode(nullptr); !s) return s;
    headerWritten_ = false;
    int rc = av_write_trailer(format_);
    if (rc < 0) return fail(avError(rc));
    rc = avio_closep(&format_->pb);
    if (rc < 0) return fail(avError(rc));
    return {};
}

} // namespace

Result<std::unique_ptr<FrameSink>> openLibavFile(PendingFile& out, const MotionSettings& video) {
    auto file = std::make_unique<LibavFile>();
    if (Status s = file->open(out, video); !s) return s.error();
    return std::unique_ptr<FrameSink>(std::move(file));
}

} // namespace vx
