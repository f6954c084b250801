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

void PrintJob::send() {
    if (!useService_) {
        outcome_.kind = PrintOutcome::NoPrinter;
        return;
    }
    cupsSetPasswordCB2(noPassword, nullptr);
    auto fails = [this](PrintOutcome::Kind kind, std::string reason = lastError()) {
        outcome_.kind = gaveUp_ || overdue() ? PrintOutcome::TimedOut : kind;
        outcome_.reason = std::move(reason);
    };
    const int64_t left = kPrintServiceSeconds * 1000 - (nowMs() - lastAnswer_);
    http_t* http = httpConnect2(server_.c_str(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                static_cast<int>(std::max<int64_t>(left, 1)), nullptr);
    if (!http) return fails(PrintOutcome::NotRunning);
    // Every wait for the service asks keepWaiting() each tenth of a second.
    httpSetTimeout(http, 0.1, vx::keepWaiting, this);
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(http, &dests);
    struct Free {
        http_t* http;
        int count;
        cups_dest_t* dests;
        cups_dinfo_t* info = nullptr;
        ~Free() {
            cupsFreeDestInfo(info);
            cupsFreeDests(count, dests);
            httpClose(http);
        }
    } owned{http, count, dests};
    if (count == 0) {
        const ipp_status_t s = cupsLastError();
        if (succeeded(s) || s == IPP_STATUS_ERROR_NOT_FOUND) return fails(PrintOutcome::NoPrinter);
        return fails(PrintOutcome::Failed,
                     "the print service at " + server_ + " answered: " + lastError());
    }
    answered();
    cups_dest_t* dest = cupsGetDest(nullptr, nullptr, count, dests);
    if (!dest) return fails(PrintOutcome::NoDefault);
    outcome_.printer = dest->name;
    owned.info = cupsCopyDestInfo(http, dest);
    if (!owned.info && (gaveUp_ || cancelled_)) return fails(PrintOutcome::TimedOut);
    answered();
    makePdf(paperOf(http, dest, owned.info, fallback_));
    if (outcome_.pdf.empty() || cancelled_) return;

    int optionCount = 0;
    cups_option_t* options = nullptr;
    // Colour wherever the printer offers it: some queues print grey unless asked.
    if (owned.info && cupsCheckDestSupported(http, dest, owned.info, "print-color-mode", "color"))
        optionCount = cupsAddOption("print-color-mode", "color", optionCount, &options);
    const int id = cupsCreateJob(http, dest->name, kTitle, optionCount, options);
    cupsFreeOptions(optionCount, options);
    if (id == 0) {
        std::string reason = lastError();
        if (!gaveUp_ && cupsLastError() == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS) {
            const std::string why = stateMessage(http, dest);
            if (!why.empty() && reason.find(why) == std::string::npos) reason += " (" + why + ")";
        }
        return fails(PrintOutcome::Refused, reason);
    }
    answered();
    outcome_.job = id;
    auto abandon = [&](std::string reason) {
        fails(PrintOutcome::Refused, std::move(reason));
        // A job without its page would wait in the queue for nothing.
        if (outcome_.kind != PrintOutcome::TimedOut) cupsCancelJob2(http, dest->name, id, 0);
        outcome_.job = 0;
    };
    if (cupsStartDocument(http, dest->name, id, kTitle, CUPS_FORMAT_PDF, 1) != HTTP_STATUS_CONTINUE)
        return abandon(lastError());
    const std::string& pdf = outcome_.pdf;
    for (size_t at = 0; at < pdf.size(); at += kPiece) {
        if (cancelled_) return abandon("the print was given up");
        if (cupsWriteRequestData(http, pdf.data() + at, std::min(kPiece, pdf.size() - at)) !=
            HTTP_STATUS_CONTINUE)
            return abandon(lastError());
        answered();
    }
    const ipp_status_t finished = cupsFinishDocument(http, dest->name);
    if (!succeeded(finished)) return abandon(lastError());
    outcome_.kind = PrintOutcome::Sent;
    outcome_.pdf.clear();
}

} // namespace vx
