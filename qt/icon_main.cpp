// vortalis-icon: the build's helper that makes the smaller icons from the 256-pixel drawing,
// so that every size shows the same pattern rather than a new drawing of fewer tiles.
#include <QImage>
#include <QImageWriter>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: vortalis-icon IN.png SIZE OUT.png\n");
        return 2;
    }
    char* end = nullptr;
    const long size = std::strtol(argv[2], &end, 10);
    if (*end != '\0' || size < 16 || size > 1024) {
        std::fprintf(stderr, "vortalis-icon: size \"%s\" is not a whole number 16..1024\n",
                     argv[2]);
        return 2;
    }
    const QImage in(QString::fromLocal8Bit(argv[1]));
    if (in.isNull()) {
        std::fprintf(stderr, "vortalis-icon: cannot read %s\n", argv[1]);
        return 1;
    }
    // Smooth scaling averages the area each pixel covers when it shrinks a picture.
    const QImage out = in.scaled(static_cast<int>(size), static_cast<int>(size),
                                 Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                           .convertToFormat(QImage::Format_RGB888);
    QImageWriter writer(QString::fromLocal8Bit(argv[3]), "png");
    if (!writer.write(out)) {
        std::fprintf(stderr, "vortalis-icon: cannot write %s: %s\n", argv[3],
                     writer.errorString().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
