// Screen-saver mode inside a window of another program: the screen-saver host's, or the
// preview pane of its settings dialog. Drawn over X11 with xcb straight into that window
// (no window of our own), sized from it and following its size.
#include "qt/saver.hpp"

#include <QCoreApplication>
#include <QDateTime>
#include <QSocketNotifier>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace vx {

namespace {

class ForeignWindow {
  public:
    ForeignWindow(xcb_connection_t* c, xcb_window_t w) : c_(c), w_(w) {}

    // Checks the window and what it can show; says why not.
    Status open(int& width, int& height) {
        xcb_generic_error_t* err = nullptr;
        std::unique_ptr<xcb_get_geometry_reply_t, decltype(&free)> geo(
            xcb_get_geometry_reply(c_, xcb_get_geometry(c_, w_), &err), &free);
        if (!geo) {
            free(err);
            return fail("there is no window " + hexId() + " on this display");
        }
        width = geo->width;
        height = geo->height;
        depth_ = geo->depth;
        std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&free)> attr(
            xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, w_), nullptr), &free);
        if (!attr) return fail("the window " + hexId() + " went away");
        const xcb_visualtype_t* v = visual(attr->visual);
        if (!v || v->_class != XCB_VISUAL_CLASS_TRUE_COLOR || v->red_mask != 0xFF0000u ||
            v->green_mask != 0xFF00u || v->blue_mask != 0xFFu || (depth_ != 24 && depth_ != 32))
            return fail("the window " + hexId() + " shows no 24-bit true colour");
        const xcb_setup_t* setup = xcb_get_setup(c_);
        swap_ = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
        bool fourBytes = false;
        for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it))
            if (it.data->depth == depth_) fourBytes = it.data->bits_per_pixel == 32;
        if (!fourBytes) return fail("the window " + hexId() + " does not keep four bytes a pixel");
        // Its size and its going away, and the parts that need drawing again.
        const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_EXPOSURE;
        xcb_change_window_attributes(c_, w_, XCB_CW_EVENT_MASK, &mask);
        gc_ = xcb_generate_id(c_);
        xcb_create_gc(c_, gc_, w_, 0, nullptr);
        xcb_flush(c_);
        return {};
    }

    // Puts what the window shows over the region (within the surface), composed straight
    // into the requests.
    void show(const Shapes& sh, const QRegion& region) {
        // Slices of a quarter megabyte at most: the server takes them, and the buffer stays small.
        const uint32_t maxBytes =
            std::min<uint32_t>(xcb_get_maximum_request_length(c_) * 4u - 64u, 1u << 18);
        const QRect all(0, 0, sh.surface.width(), sh.surface.height());
        for (const QRect& r : region) {
            const QRect a = r & all;
            if (a.isEmpty()) continue;
            const int rowBytes = a.width() * 4;
            const int rows =
                std::max(1, static_cast<int>(maxBytes / static_cast<uint32_t>(rowBytes)));
            for (int y = a.top(); y <= a.bottom(); y += rows) {
                const int n = std::min(rows, a.bottom() + 1 - y);
                buf_.resize(static_cast<size_t>(a.width()) * n);
                for (int j = 0; j < n; ++j)
                    composeLine(sh, y + j, a.left(), a.right(),
                                buf_.data() + static_cast<size_t>(j) * a.width());
                if (swap_)
                    for (uint32_t& p : buf_) p = __builtin_bswap32(p);
                xcb_put_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, w_, gc_,
                              static_cast<uint16_t>(a.width()), static_cast<uint16_t>(n),
                              static_cast<int16_t>(a.left()), static_cast<int16_t>(y), 0, depth_,
                              static_cast<uint32_t>(buf_.size() * 4),
                              reinterpret_cast<const uint8_t*>(buf_.data()));
            }
        }
        xcb_flush(c_);
    }

    // Moves what the window shows over `from` by d on the server. Parts it cannot copy (off
    // the window, covered) come back as graphics exposures.
    void copy(const QRect& from, const QPoint& d) {
        xcb_copy_area(c_, w_, w_, gc_, static_cast<int16_t>(from.x()),
                      static_cast<int16_t>(from.y()), static_cast<int16_t>(from.x() + d.x()),
                      static_cast<int16_t>(from.y() + d.y()), static_cast<uint16_t>(from.width()),
                      static_cast<uint16_t>(from.height()));
    }

    std::string hexId() const {
        char s[16];
        std::snprintf(s, sizeof s, "0x%x", w_);
        return s;
    }

  private:
    const xcb_visualtype_t* visual(xcb_visualid_t id) const {
        for (auto s = xcb_setup_roots_iterator(xcb_get_setup(c_)); s.rem; xcb_screen_next(&s))
            for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem; xcb_depth_next(&d))
                for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
                    if (v.data->visual_id == id) return v.data;
        return nullptr;
    }

    xcb_connection_t* c_;
    xcb_window_t w_;
    xcb_gcontext_t gc_ = 0;
    uint8_t depth_ = 24;
    bool swap_ = false;
    std::vector<uint32_t> buf_;
};

int fault(const std::string& message) {
    std::fprintf(stderr, "vortalis: %s\n", message.c_str());
    return 1;
}

} // namespace

namespace {

// The window to draw into: the one given, the host's (XSCREENSAVER_WINDOW), or the root window.
Result<xcb_window_t> targetWindow(xcb_connection_t* c, int screenNumber, const SaverOptions& o) {
    if (o.target != SaverOptions::Target::Root) return o.windowId;
    const QByteArray given = qgetenv("XSCREENSAVER_WINDOW");
    if (!given.isEmpty()) {
        const auto id = parseWindowId(given.trimmed().toStdString());
        if (!id)
            return fail("XSCREENSAVER_WINDOW holds no window id: \"" + given.toStdString() + "\"");
        return *id;
    }
    auto s = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && s.rem; ++i) xcb_screen_next(&s);
    return s.data->root;
}

std::string memoryFault(int w, int h) {
    return "not enough memory to draw into a window of " + std::to_string(w) + "x" +
           std::to_string(h);
}

// Screen-saver mode in the host's window: the drawing, the host's events, and why it ended.
class HostSaver {
  public:
    HostSaver(xcb_connection_t* c, xcb_window_t target)
        : c_(c), target_(target), window_(c, target) {}

    Status start(const SaverOptions& o) {
        int w = 0, h = 0;
        if (Status opened = window_.open(w, h); !opened) return opened;
        // X11 windows may be 32767 pixels a side; beyond the largest surface the window shows
        // its background.
        try {
            const SurfaceSize fit = cappedSurfaceSize(w, h);
            sh_.surface = Surface(fit.width, fit.height);
        } catch (const std::bad_alloc&) {
            return fail(memoryFault(w, h));
        }
        host_ = std::make_unique<SaverHost>(
            sh_, [this](const QRegion& r) { present(r); },
            [this](const QRect& from, const QRect& to) { move(from, to); });
        host_->start(o, 60);
        return {};
    }

    // Handles what the server has sent; 1 once the window is gone or the display closed.
    void drain() {
        while (xcb_generic_event_t* e = xcb_poll_for_event(c_)) {
            std::unique_ptr<xcb_generic_event_t, decltype(&free)> ev(e, &free);
            handle(*e);
        }
        if (xcb_connection_has_error(c_)) end("the X display closed the connection");
    }
    int status() const { return status_; }

  private:
    void paint(const QRegion& r) {
        window_.show(sh_, r);
        shown_ = true;
    }
    void present(const QRegion& r) {
        paint(r);
        if (!timing_) return;
        // VORTALIS_TIMING=1: when the first drawing is on the screen, for measuring the start.
        timing_ = false;
        free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); // drawn by now
        std::fprintf(stderr, "vortalis-timing: first drawing shown at %lld ms since the epoch\n",
                     static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
    }
    // The gliding picture is copied on the server; only the strips it uncovers (and any part
    // of it coming in from beyond the edges) are sent.
    void move(const QRect& from, const QRect& to) {
        const QRect all(0, 0, sh_.surface.width(), sh_.surface.height());
        const QRect source = from & all;
        const QPoint d = to.topLeft() - from.topLeft();
        if (!source.isEmpty()) window_.copy(source, d);
        paint(((QRegion(from) + QRegion(to)) & QRegion(all)) - QRegion(source.translated(d)));
    }
    void end(const std::string& why) {
        if (status_ == 0) std::fprintf(stderr, "vortalis: %s\n", why.c_str());
        status_ = 1;
        QCoreApplication::exit(1);
    }
    void handle(const xcb_generic_event_t& e) {
        switch (e.response_type & 0x7F) {
        case 0: // an error: the window is gone, or will not take what we draw
        case XCB_DESTROY_NOTIFY:
            end("the window " + window_.hexId() + " went away");
            break;
        case XCB_CONFIGURE_NOTIFY: {
            const auto& cn = reinterpret_cast<const xcb_configure_notify_event_t&>(e);
            if (cn.window != target_) break;
            try {
                const SurfaceSize fit = cappedSurfaceSize(cn.width, cn.height);
                host_->resize(fit.width, fit.height);
            } catch (const std::bad_alloc&) {
                end(memoryFault(cn.width, cn.height));
            }
            break;
        }
        case XCB_EXPOSE: {
            const auto& ex = reinterpret_cast<const xcb_expose_event_t&>(e);
            if (ex.window == target_ && shown_) paint(QRegion(ex.x, ex.y, ex.width, ex.height));
            break;
        }
        case XCB_GRAPHICS_EXPOSURE: {
            const auto& ex = reinterpret_cast<const xcb_graphics_exposure_event_t&>(e);
            if (shown_) paint(QRegion(ex.x, ex.y, ex.width, ex.height));
            break;
        }
        default:
            break;
        }
    }

    xcb_connection_t* c_;
    xcb_window_t target_;
    ForeignWindow window_;
    SaverPlatform platform_;
    Shapes sh_{platform_};
    std::unique_ptr<SaverHost> host_;
    bool shown_ = false;
    bool timing_ = qEnvironmentVariable("VORTALIS_TIMING") == "1";
    int status_ = 0;
};

} // namespace

int runInWindow(int argc, char** argv, const SaverOptions& o) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return fault("no X display to draw on (DISPLAY is not set)");
    QCoreApplication app(argc, argv);
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return fault("cannot connect to the X display " +
                     qEnvironmentVariable("DISPLAY").toStdString());
    }
    std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> conn(c, &xcb_disconnect);
    const Result<xcb_window_t> target = targetWindow(c, screenNumber, o);
    if (!target) return fault(target.error().message);

    endOnSignals();
    HostSaver saver(c, *target);
    if (const Status started = saver.start(o); !started) return fault(started.error().message);
    QSocketNotifier events(xcb_get_file_descriptor(c), QSocketNotifier::Read);
    QObject::connect(&events, &QSocketNotifier::activated, [&saver] { saver.drain(); });
    saver.drain();
    const int rc = app.exec();
    return saver.status() != 0 ? saver.status() : rc;
}

} // namespace vx
