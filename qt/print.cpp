#include "qt/print.hpp"

#include "app/output.hpp"
#include "platform/files.hpp"
#include "qt/printjob.hpp"
#include "qt/qtplatform.hpp"
#include "qt/window.hpp"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocale>
#include <QTimer>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <new>

namespace vx {

namespace {

bool printerAllowed = true;

// Paper for a page no printer describes: what the desktop's country uses.
Paper deskPaper() {
    Paper p;
    if (QLocale().measurementSystem() == QLocale::ImperialUSSystem) {
        p.width = kLetterWidth;
        p.height = kLetterHeight;
    }
    return p;
}

// Lets the window run until the job is done or the service has been silent too long. The
// loop ends there, or when the program is closing.
void waitFor(const PrintJob& job) {
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, gap = 0;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        const qint64 now = clock.elapsed();
        gap = std::max(gap, now - last);
        last = now;
        if (job.decided() || job.overdue()) loop.quit();
    });
    poll.start(10);
    if (!job.decided()) loop.exec();
    if (qEnvironmentVariable("VORTALIS_TIMING") == "1")
        std::fprintf(stderr,
                     "vortalis-timing: printing waited %lld ms, largest event-loop gap %lld ms\n",
                     static_cast<long long>(clock.elapsed()),
                     static_cast<long long>(std::max(gap, clock.elapsed() - last)));
}

std::string sizeNote(int reduction) {
    if (reduction <= 1) return "";
    return " (the drawing at 1/" + std::to_string(reduction) + " of its size, to fit the paper)";
}

bool localServer(const std::string& server) {
    return server.empty() || server.front() == '/' || server == "localhost" ||
           server == "127.0.0.1" || server == "::1";
}

// Where no printer could take the page, it is kept as a file.
Result<std::string> keepAsFile(const PrintOutcome& o) {
    std::string cause;
    if (o.kind == PrintOutcome::NoPrinter)
        cause = "no printer is installed";
    else if (o.kind == PrintOutcome::NoDefault)
        cause = "no default printer is set";
    else if (localServer(o.server))
        cause = "the print service (CUPS) is not running";
    else
        cause = "the print service at " + o.server + " could not be reached (" + o.reason + ")";
    const Result<std::string> file = savePdfPage(o.pdf);
    if (!file) return fail(cause + " and " + file.error().message);
    cause[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(cause[0])));
    return cause + ": the page was saved as " + *file + " in " + workingFolderName() +
           sizeNote(o.reduction) + ".";
}

std::string patience() {
    const int s = (printWaits().answerMs + 999) / 1000;
    return std::to_string(s) + (s == 1 ? " second" : " seconds");
}

Result<std::string> report(const PrintOutcome& o) {
    switch (o.kind) {
    case PrintOutcome::Sent:
        return "Sent to " + o.printer + " as job " + std::to_string(o.job) + sizeNote(o.reduction) +
               ".";
    case PrintOutcome::InDoubt:
        // The service has the whole page: never call that a failure.
        return "The print service at " + o.server + " did not answer within " + patience() +
               "; the job may still print (job " + std::to_string(o.job) + " on " + o.printer +
               ").";
    case PrintOutcome::TimedOut:
        return fail("the print service at " + o.server + " did not answer within " + patience());
    case PrintOutcome::Refused:
        return fail("the printer " + o.printer + " refused the job: " + o.reason);
    case PrintOutcome::Failed:
        return fail(o.reason);
    default:
        return keepAsFile(o);
    }
}

} // namespace

bool completePdf(const QByteArray& bytes) {
    // A whole file starts with its header and ends with its end-of-file marker.
    QByteArray tail = bytes.right(64).trimmed();
    return bytes.startsWith("%PDF-") && tail.endsWith("%%EOF");
}

Surface printedPage(const Shapes& sh) {
    Surface page = sh.surface;
    if (sh.form.visible("Picture1")) {
        const ui::Control& p = sh.form.get("Picture1");
        page.paint(sh.picture1, p.x, p.y, 0, 0, sh.picture1.width(), sh.picture1.height());
    }
    return page;
}

void setPrinterAllowed(bool allowed) {
    printerAllowed = allowed;
}

Result<std::string> savePdfPage(const std::string& bytes) {
    if (!completePdf(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()))))
        return fail("the PDF page came out incomplete");
    const Result<std::string> file = writeNewNumbered("print", ".pdf", bytes);
    if (!file) {
        // The name the page would have taken, for the message.
        const int n = firstFreeNumber("print", ".pdf");
        return fail((n > 0 ? "print" + std::to_string(n) + ".pdf" : std::string("the PDF page")) +
                    " could not be written: " + file.error().message);
    }
    return file;
}

Result<std::string> printPage(Surface page, UnsettledPrint* unsettled) {
    if (page.width() <= 0 || page.height() <= 0) return fail("the drawing is empty");
    auto job = std::make_shared<PrintJob>(std::move(page), deskPaper(), printerAllowed);
    job->start();
    waitFor(*job);
    if (job->decided()) return report(job->outcome());
    if (!job->overdue()) {
        job->cancel();
        return fail("the program closed before the page was sent");
    }
    const PrintOutcome now = job->leave();
    if (now.kind == PrintOutcome::InDoubt && unsettled) *unsettled = {job, now.job};
    return report(now);
}

std::string lateReport(const PrintOutcome& o, int id) {
    if (o.kind == PrintOutcome::InDoubt) return {};
    const Result<std::string> r = report(o);
    if (!r)
        return "The print service answered late: job " + std::to_string(id) + " was not printed (" +
               r.error().message + ").";
    std::string said = *r;
    said[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(said[0])));
    return "The print service answered late: " + said;
}

Result<std::string> QtPlatform::printWindow() {
    if (!w_) return fail("the window is not open");
    try {
        UnsettledPrint open;
        Result<std::string> printed = printPage(printedPage(w_->shapes()), &open);
        if (open.job) watchPrint(std::move(open.job), open.id);
        return printed;
    } catch (const std::bad_alloc&) {
        return fail("there was not enough memory for a picture of the window");
    }
}

std::string QtPlatform::printInDoubt() {
    return inDoubt_ ? "job " + std::to_string(inDoubtId_) : std::string();
}

void QtPlatform::watchPrint(std::shared_ptr<PrintJob> job, int id) {
    inDoubt_ = job;
    inDoubtId_ = id;
    // The window owns the watch: it ends with the window, and the worker's own bound ends it.
    auto* poll = new QTimer(w_);
    QObject::connect(poll, &QTimer::timeout, poll, [this, poll, job, id] {
        if (!job->decided()) return;
        poll->deleteLater();
        if (inDoubt_ == job) inDoubt_.reset();
        const std::string said = lateReport(job->outcome(), id);
        if (!said.empty()) status(said);
    });
    poll->start(100);
}

} // namespace vx
