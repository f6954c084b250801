#pragma once
// Printing the window, for the Qt platform.
#include "app/shapes.hpp"
#include "base/result.hpp"

#include <QByteArray>
#include <string>

namespace vx {

// The page that printing produces: the drawing, with the moving shape picture where it is
// shown, and none of the controls.
Surface printedPage(const Shapes& sh);

// Tests turn the printer off so that pages go to PDF files.
void setPrinterAllowed(bool allowed);

// A PDF file's bytes from header to end-of-file marker: nothing cut off.
bool completePdf(const QByteArray& bytes);

// Keeps a page no printer took as the first free "print" + n + ".pdf" in the working folder;
// the file's name.
Result<std::string> savePdfPage(const std::string& bytes);

// Sends the page to the default printer of the print service, or, without one, into a PDF
// file. Events keep running meanwhile; a service that does not answer is given up after
// kPrintServiceSeconds. Says where the page went.
Result<std::string> printPage(Surface page);

} // namespace vx
