#include "qt/print.hpp"

#include "app/output.hpp"
#include "platform/files.hpp"
#include "qt/window.hpp"

#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace vx {

namespace {

bool printerAllowed = true;

// Draws the image as large as the page allows, keeping its proportions.
bool paintPage(QPagedPaintDevice& device, const QImage& page) {
    device.setPageOrientation(page.width() > page.height() ? QPageLayout::Landscape
                                                           : QPageLayout::Portrait);
    QPainter p;
    if (!p.begin(&device)) return false;
    const QRect area = p.viewport();
    const QSize size = page.size().scaled(area.size(), Qt::KeepAspectRatio);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QRect(area.topLeft(), size), page);
    return p.end();
}

} // namespace

bool completePdf(const QByteArray& bytes) {
    // A whole file starts with its header and ends with its end-of-file marker.
    QByteArray tail = bytes.right(64).trimmed();
    return bytes.startsWith("%PDF-") && tail.endsWith("%%EOF");
}

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

Result<std::string> printPage(const QImage& page) {
    if (page.isNull()) return fail("there was not enough memory for a picture of the window");
    if (printerAvailable()) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        QPrinter printer(info, QPrinter::HighResolution);
        printer.setDocName("Vortalis pattern");
        if (!paintPage(printer, page))
            return fail("the printer " + info.printerName().toStdString() + " refused the page");
        return "Printed on " + info.printerName().toStdString() + ".";
    }
    // No printer: the page becomes a PDF file beside the saved drawings, made in memory and
    // written whole or not at all.
    const int n = firstFreeNumber("print", ".pdf");
    if (n == 0) return fail("no printer is installed and every PDF file number is taken");
    const std::string file = "print" + std::to_string(n) + ".pdf";
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(1200);
        writer.setTitle("Vortalis pattern");
        if (!paintPage(writer, page))
            return fail("no printer is installed and the page could not be made");
    }
    const QByteArray& bytes = pdf.data();
    if (!completePdf(bytes))
        return fail("no printer is installed and the PDF page came out incomplete; " + file +
                    " was not written");
    const Status written =
        writeFileAtomically(file, std::string_view(bytes.constData(), bytes.size()));
    if (!written)
        return fail("no printer is installed and " + file +
                    " could not be written: " + written.error().message);
    return "No printer is installed: the page was saved as " + file + ".";
}

Result<std::string> QtPlatform::printWindow() {
    if (!w_) return fail("the window is not open");
    return printPage(windowPageImage(*w_));
}

} // namespace vx
