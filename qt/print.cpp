#include "qt/print.hpp"

#include "output/output.hpp"
#include "qt/window.hpp"

#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>

namespace vx {

namespace {

bool printerAllowed = true;

QImage surfaceImage(const Surface& s) {
    QImage img(s.width(), s.height(), QImage::Format_RGBX8888);
    s.exportRgbx(reinterpret_cast<uint32_t*>(img.bits()), img.bytesPerLine() / 4);
    return img;
}

// Draws the image as large as the page allows, keeping its proportions.
bool paintPage(QPrinter& printer, const QImage& page) {
    printer.setPageOrientation(page.width() > page.height() ? QPageLayout::Landscape
                                                            : QPageLayout::Portrait);
    QPainter p;
    if (!p.begin(&printer)) return false;
    const QRect area = p.viewport();
    const QSize size = page.size().scaled(area.size(), Qt::KeepAspectRatio);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QRect(area.topLeft(), size), page);
    return p.end();
}

} // namespace

QImage windowPageImage(MainWindow& w) {
    return w.canvas()->grab().toImage();
}

void setPrinterAllowed(bool allowed) {
    printerAllowed = allowed;
}

bool printerAvailable() {
    return printerAllowed && !QPrinterInfo::availablePrinters().isEmpty() &&
           !QPrinterInfo::defaultPrinter().isNull();
}

bool printPage(const QImage& page, std::string& message) {
    if (page.isNull()) {
        message = "the window has nothing to print";
        return false;
    }
    if (printerAvailable()) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        QPrinter printer(info, QPrinter::HighResolution);
        printer.setDocName("Vortalis pattern");
        if (!paintPage(printer, page)) {
            message = "the printer " + info.printerName().toStdString() + " refused the page";
            return false;
        }
        message = "Printed on " + info.printerName().toStdString() + ".";
        return true;
    }
    // No printer: the page becomes a PDF file beside the saved drawings.
    const int n = firstFreeNumber("print", ".pdf");
    if (n == 0) {
        message = "no printer is installed and every PDF file number is taken";
        return false;
    }
    const QString file = QString("print%1.pdf").arg(n);
    const QString tmp = file + ".tmp";
    QFile::remove(tmp);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(tmp);
    printer.setDocName("Vortalis pattern");
    if (!paintPage(printer, page) || !QFile::rename(tmp, file)) {
        QFile::remove(tmp);
        message = "no printer is installed and " + file.toStdString() + " could not be written";
        return false;
    }
    message = "No printer is installed: the page was saved as " + file.toStdString() + ".";
    return true;
}

bool saveSurfaceBitmap(const Surface& s, const std::string& file, std::string& error) {
    if (s.width() <= 0 || s.height() <= 0) {
        error = "the picture is empty";
        return false;
    }
    const QImage img = surfaceImage(s).convertToFormat(QImage::Format_RGB888);
    QSaveFile out(QString::fromStdString(file));
    if (!out.open(QIODevice::WriteOnly)) {
        error = out.errorString().toStdString();
        return false;
    }
    if (!img.save(&out, "BMP")) {
        out.cancelWriting();
        error = out.errorString().isEmpty() ? "the bitmap could not be written"
                                            : out.errorString().toStdString();
        return false;
    }
    if (!out.commit()) {
        error = out.errorString().toStdString();
        return false;
    }
    return true;
}

bool QtPlatform::saveBitmap(const Surface& s, const std::string& file, std::string& error) {
    return saveSurfaceBitmap(s, file, error);
}

bool QtPlatform::printWindow(Shapes&, std::string& message) {
    if (!w_) {
        message = "the window is not open";
        return false;
    }
    return printPage(windowPageImage(*w_), message);
}

} // namespace vx
