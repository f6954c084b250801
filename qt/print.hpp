#pragma once
// Printing the window, for the Qt platform.
#include "app/shapes.hpp"
#include "base/result.hpp"

#include <QByteArray>
#include <memory>
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

class PrintJob;
struct PrintOutcome;

// A print the window stopped waiting for while the service may still print it.
struct UnsettledPrint {
    std::shared_ptr<PrintJob> job;
    int id = 0; // the job's number at the service
};

// Sends the page to the default printer of the print service, or, without one, into a PDF
// file. Events keep running meanwhile; the window stops waiting for a service that does not
// answer within PrintWaits::answerMs. Says where the page went; a print whose fate is not
// known then is left in unsettled.
Result<std::string> printPage(Surface page, UnsettledPrint* unsettled = nullptr);

// What the window says when the service has told at last what became of an unsettled print;
// empty when it never told.
std::string lateReport(const PrintOutcome& o, int id);

} // namespace vx
