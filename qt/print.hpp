#pragma once
// Printing the window, for the Qt platform.
#include "base/result.hpp"

#include <QByteArray>
#include <QImage>
#include <string>

namespace vx {

class MainWindow;

// The page that printing produces: the drawing area with every visible control on it.
QImage windowPageImage(MainWindow& w);

// True when a default printer is installed (and printing to it has not been turned off).
bool printerAvailable();
// Tests turn the printer off so that pages go to PDF files.
void setPrinterAllowed(bool allowed);

// A PDF file's bytes from header to end-of-file marker: nothing cut off.
bool completePdf(const QByteArray& bytes);

// Prints an image as one page on the default printer, or, without a printer, into the first
// free "print" + n + ".pdf" in the working folder. Says where the page went.
Result<std::string> printPage(const QImage& page);

} // namespace vx
