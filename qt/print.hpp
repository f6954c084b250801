#pragma once
// Printing the window and writing bitmap files, for the Qt platform.
#include <QImage>
#include <string>

namespace vx {

class MainWindow;
class Surface;

// The page that printing produces: the drawing area with every visible control on it.
QImage windowPageImage(MainWindow& w);

// True when a default printer is installed (and printing to it has not been turned off).
bool printerAvailable();
// Tests turn the printer off so that pages go to PDF files.
void setPrinterAllowed(bool allowed);

// Prints an image as one page on the default printer, or, without a printer, into the first
// free "print" + n + ".pdf" in the working folder. message says where, or why not.
bool printPage(const QImage& page, std::string& message);

// Writes a surface as a 24-bit BMP file through a temporary file.
bool saveSurfaceBitmap(const Surface& s, const std::string& file, std::string& error);

} // namespace vx
