#include "qt/printjob.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cups/cups.h>
#include <thread>

namespace vx {

namespace {

constexpr const char* kTitle = "Vortalis pattern";
// Written to the service in pieces, so that a service that stops reading is noticed.
constexpr size_t kPiece = 64 * 1024;

std::atomic<int> runningJobs{0};

int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string withoutFullStop(std::string s) {
    while (!s.empty() && (s.back() == '.' || s.back() == ' ')) s.pop_back();
    return s;
}

std::string lastError() {
    const char* e = cupsLastErrorString();
    return withoutFullStop(e && *e ? e : ippErrorString(cupsLastError()));
}

bool succeeded(ipp_status_t s) {
    return s <= IPP_STATUS_OK_EVENTS_COMPLETE;
}

int keepWaiting(http_t*, void* job) {
    return static_cast<PrintJob*>(job)->keepWaiting() ? 1 : 0;
}

// A GUI program has no terminal to ask for a password on.
const char* noPassword(const char*, http_t*, const char*, const char*, void*) {
    return nullptr;
}

double pointsOf(int hundredthsOfMm) {
    return hundredthsOfMm * 72.0 / 2540.0;
}

// The paper and resolution the printer uses by default, where it says.
Paper paperOf(http_t* http, cups_dest_t* dest, cups_dinfo_t* info, Paper paper) {
    if (ipp_attribute_t* media = cupsFindDestDefault(http, dest, info, "media")) {
        cups_size_t size{};
        const char* name = ippGetString(media, 0, nullptr);
        if (name && cupsGetDestMediaByName(http, dest, info, name, 0, &size) &&
            size.width >= 2540 && size.length >= 2540 && size.width <= 500000 &&
            size.length <= 500000) {
            paper.width = pointsOf(size.width);
            paper.height = pointsOf(size.length);
            paper.margin = pointsOf(std::max({size.left, size.right, size.top, size.bottom, 0}));
        }
    }
    if (ipp_attribute_t* res = cupsFindDestDefault(http, dest, info, "printer-resolution")) {
        int y = 0;
        ipp_res_t units = IPP_RES_PER_INCH;
        int x = ippGetResolution(res, 0, &y, &units);
        if (units == IPP_RES_PER_CM) {
            x = static_cast<int>(std::lround(x * 2.54));
            y = static_cast<int>(std::lround(y * 2.54));
        }
        const int dpi = std::min(x, y);
        if (dpi >= 72 && dpi <= 9600) paper.dpi = dpi;
    }
    return paper;
}

// What the printer's administrator gave as its state, such as the reason it takes no jobs.
std::string stateMessage(http_t* http, cups_dest_t* dest) {
    const char* uri = cupsGetOption("printer-uri-supported", dest->num_options, dest->options);
    if (!uri) return {};
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-state-message");
    ipp_t* response = cupsDoRequest(http, request, "/");
    std::string text;
    if (ipp_attribute_t* a = ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT))
        if (const char* s = ippGetString(a, 0, nullptr)) text = withoutFullStop(s);
    ippDelete(response);
    return text;
}

} // namespace

PrintJob::PrintJob(Surface page, Paper fallback, bool useService)
    : page_(std::move(page)), fallback_(fallback), useService_(useService), lastAnswer_(nowMs()) {
    if (useService) {
        // Read afresh: the settings may have changed since the last print.
        cupsSetServer(nullptr);
        server_ = cupsServer();
    }
    outcome_.server = server_;
}

int PrintJob::running() {
    return runningJobs.load();
}

void PrintJob::start() {
    ++runningJobs;
    // The worker owns the job with the window: a window that stops waiting leaves it whole.
    std::thread([job = shared_from_this()] {
        job->run();
        job->done_.store(true, std::memory_order_release);
        --runningJobs;
    }).detach();
}

bool PrintJob::overdue() const {
    return !local_ && nowMs() - lastAnswer_ > kPrintServiceSeconds * 1000;
}

bool PrintJob::keepWaiting() {
    if (!cancelled_ && !overdue()) return true;
    gaveUp_ = true;
    return false;
}

void PrintJob::answered() {
    lastAnswer_ = nowMs();
}

void PrintJob::makePdf(const Paper& paper) {
    local_ = true;
    Result<std::string> pdf = pagePdf(page_, paper, kTitle);
    outcome_.reduction = fitPage(page_.width(), page_.height(), paper).reduction;
    answered();
    local_ = false;
    if (pdf) {
        outcome_.pdf = std::move(*pdf);
    } else {
        outcome_.kind = PrintOutcome::Failed;
        outcome_.reason = pdf.error().message;
    }
}

void PrintJob::run() {
    send();
    // A page for a file only where no printer could take it.
    const PrintOutcome::Kind k = outcome_.kind;
    if (k == PrintOutcome::NoPrinter || k == PrintOutcome::NoDefault ||
        k == PrintOutcome::NotRunning)
        makePdf(fallback_);
}

// The connection to the service and what it said of its printers, released in one place.
struct PrintJob::Service {
    http_t* http = nullptr;
    int count = 0;
    cups_dest_t* dests = nullptr;
    cups_dest_t* dest = nullptr; // the default printer, once found
    cups_dinfo_t* info = nullptr;

    Service() = default;
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;
    ~Service() {
        cupsFreeDestInfo(info);
        cupsFreeDests(count, dests);
        if (http) httpClose(http);
    }
};

void PrintJob::fail(PrintOutcome::Kind kind) {
    fail(kind, lastError());
}

void PrintJob::fail(PrintOutcome::Kind kind, std::string reason) {
    outcome_.kind = gaveUp_ || overdue() ? PrintOutcome::TimedOut : kind;
    outcome_.reason = std::move(reason);
}

// The steps each end in fail() or leave the outcome to the next; a step that fails returns
// false (or job 0).
void PrintJob::send() {
    if (!useService_) {
        outcome_.kind = PrintOutcome::NoPrinter;
        return;
    }
    cupsSetPasswordCB2(noPassword, nullptr);
    Service service;
    if (!connectToService(service) || !findPrinter(service)) return;
    makePdf(paperOf(service.http, service.dest, service.info, fallback_));
    if (outcome_.pdf.empty() || cancelled_) return;
    const int id = createJob(service);
    if (id == 0) return;
    outcome_.job = id;
    if (sendPage(service, id)) {
        outcome_.kind = PrintOutcome::Sent;
        outcome_.pdf.clear();
    }
}

bool PrintJob::connectToService(Service& service) {
    const int64_t left = kPrintServiceSeconds * 1000 - (nowMs() - lastAnswer_);
    service.http = httpConnect2(server_.c_str(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                static_cast<int>(std::max<int64_t>(left, 1)), nullptr);
    if (!service.http) {
        fail(PrintOutcome::NotRunning);
        return false;
    }
    // Every wait for the service asks keepWaiting() each tenth of a second.
    httpSetTimeout(service.http, 0.1, vx::keepWaiting, this);
    return true;
}

bool PrintJob::findPrinter(Service& service) {
    service.count = cupsGetDests2(service.http, &service.dests);
    if (service.count == 0) {
        const ipp_status_t s = cupsLastError();
        if (succeeded(s) || s == IPP_STATUS_ERROR_NOT_FOUND)
            fail(PrintOutcome::NoPrinter);
        else
            fail(PrintOutcome::Failed,
                 "the print service at " + server_ + " answered: " + lastError());
        return false;
    }
    answered();
    service.dest = cupsGetDest(nullptr, nullptr, service.count, service.dests);
    if (!service.dest) {
        fail(PrintOutcome::NoDefault);
        return false;
    }
    outcome_.printer = service.dest->name;
    service.info = cupsCopyDestInfo(service.http, service.dest);
    if (!service.info && (gaveUp_ || cancelled_)) {
        fail(PrintOutcome::TimedOut);
        return false;
    }
    answered();
    return true;
}

int PrintJob::createJob(Service& service) {
    int optionCount = 0;
    cups_option_t* options = nullptr;
    // Colour wherever the printer offers it: some queues print grey unless asked.
    if (service.info && cupsCheckDestSupported(service.http, service.dest, service.info,
                                               "print-color-mode", "color"))
        optionCount = cupsAddOption("print-color-mode", "color", optionCount, &options);
    const int id = cupsCreateJob(service.http, service.dest->name, kTitle, optionCount, options);
    cupsFreeOptions(optionCount, options);
    if (id == 0) {
        std::string reason = lastError();
        if (!gaveUp_ && cupsLastError() == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS) {
            const std::string why = stateMessage(service.http, service.dest);
            if (!why.empty() && reason.find(why) == std::string::npos) reason += " (" + why + ")";
        }
        fail(PrintOutcome::Refused, reason);
        return 0;
    }
    answered();
    return id;
}

bool PrintJob::sendPage(Service& service, int id) {
    const char* printer = service.dest->name;
    if (cupsStartDocument(service.http, printer, id, kTitle, CUPS_FORMAT_PDF, 1) !=
        HTTP_STATUS_CONTINUE)
        return abandon(service, id, lastError());
    const std::string& pdf = outcome_.pdf;
    for (size_t at = 0; at < pdf.size(); at += kPiece) {
        if (cancelled_) return abandon(service, id, "the print was given up");
        if (cupsWriteRequestData(service.http, pdf.data() + at,
                                 std::min(kPiece, pdf.size() - at)) != HTTP_STATUS_CONTINUE)
            return abandon(service, id, lastError());
        answered();
    }
    const ipp_status_t finished = cupsFinishDocument(service.http, printer);
    if (!succeeded(finished)) return abandon(service, id, lastError());
    return true;
}

bool PrintJob::abandon(Service& service, int id, std::string reason) {
    fail(PrintOutcome::Refused, std::move(reason));
    // A job without its page would wait in the queue for nothing. After a time-out the
    // service is not asked again: what became of the job is not known.
    if (outcome_.kind != PrintOutcome::TimedOut)
        cupsCancelJob2(service.http, service.dest->name, id, 0);
    outcome_.job = 0;
    return false;
}

} // namespace vx
