// vortalis-render: one drawing on an offscreen surface, written to a bitmap or PNG file.
#include "core/render.hpp"

#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>
#include <QString>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

QImage toImage(const vx::Surface& sf) {
    QImage rgbx(sf.width(), sf.height(), QImage::Format_RGBX8888);
    if (rgbx.isNull()) return {};
    sf.exportRgbx(reinterpret_cast<uint32_t*>(rgbx.bits()),
                  static_cast<int>(rgbx.bytesPerLine() / 4));
    // Three bytes a pixel: a 24-bit bitmap, and a PNG without an alpha channel.
    return rgbx.convertToFormat(QImage::Format_RGB888);
}

// Written to a temporary file and renamed over the target, so a failure leaves no half file.
bool writeImage(const QImage& img, const std::string& path, bool png, std::string& error) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString().toStdString();
        return false;
    }
    QImageWriter writer(&file, png ? QByteArray("png") : QByteArray("bmp"));
    if (!writer.write(img)) {
        error = writer.errorString().toStdString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString().toStdString();
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const std::string program = argc > 0 && argv[0] ? argv[0] : "vortalis-render";
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const vx::RenderArgs parsed = vx::parseRenderArgs(args);
    if (parsed.status == vx::RenderArgs::Status::Help) {
        std::fputs(vx::renderUsage(program).c_str(), stdout);
        return 0;
    }
    if (parsed.status == vx::RenderArgs::Status::Bad) {
        std::fprintf(stderr, "%s: %s\n%s", program.c_str(), parsed.error.c_str(),
                     vx::renderUsage(program).c_str());
        return 2;
    }
    const vx::RenderOptions& o = parsed.options;

    uint64_t seed = 0;
    if (o.seed) {
        seed = *o.seed;
    } else {
        seed = static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch() /
                                     std::chrono::microseconds(1));
        std::printf("seed %llu\n", static_cast<unsigned long long>(seed));
        std::fflush(stdout);
    }

    vx::Shapes sh;
    std::string error;
    if (!vx::prepareRender(sh, o, seed, error)) {
        std::fprintf(stderr, "%s: %s\n%s", program.c_str(), error.c_str(),
                     vx::renderUsage(program).c_str());
        return 2;
    }
    const QImage img = toImage(vx::renderDrawing(sh, o));
    if (img.isNull()) {
        std::fprintf(stderr, "%s: not enough memory for the image\n", program.c_str());
        return 1;
    }
    if (!writeImage(img, o.output, o.png, error)) {
        std::fprintf(stderr, "%s: cannot write \"%s\": %s\n", program.c_str(), o.output.c_str(),
                     error.c_str());
        return 1;
    }
    return 0;
}
