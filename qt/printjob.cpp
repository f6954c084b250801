#include "qt/printjob.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cups/cups.h>
#include <thread>

namespace vx {

namespace {

constexpr const char* kTitle = "Vortalis pattern";
// Written to the service in pieces, so that a service that stops reading is noticed.
constexpr size_t kPiece = 64 * 1024;
constexpr const char* kBeforePage = "before it had the whole page";
// Between questions to a service that does not answer.
constexpr int kRetryMs = 250;

std::atomic<int> runningJobs{0};
PrintWaits waits;

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

// A question about one job, addressed as the service's own tools address it.
ipp_t* jobRequest(ipp_op_t op, const cups_dest_t* dest, int id) {
    ipp_t* request = ippNewRequest(op);
    char uri[HTTP_MAX_URI];
    if (const char* own = cupsGetOption("printer-uri-supported", dest->num_options, dest->options))
        std::snprintf(uri, sizeof uri, "%s", own);
    else
        httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost",
                         ippPort(), "/printers/%s", dest->name);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", id);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    if (op == IPP_OP_GET_JOB_ATTRIBUTES) {
        static const char* const wanted[] = {"job-state", "number-of-documents"};
        ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2,
                      nullptr, wanted);
    }
    return request;
}

enum class Fate { Printing, Empty, Ended, Unknown };

// A job the service holds with no document is one the page never reached whole.
Fate fateOf(ipp_t* response) {
    ipp_attribute_t* state = ippFindAttribute(response, "job-state", IPP_TAG_ENUM);
    if (!succeeded(ippGetStatusCode(response)) || !state) return Fate::Unknown;
    const int s = ippGetInteger(state, 0);
    if (s == IPP_JSTATE_CANCELED || s == IPP_JSTATE_ABORTED) return Fate::Ended;
    ipp_attribute_t* documents = ippFindAttribute(response, "number-of-documents", IPP_TAG_INTEGER);
    if (s != IPP_JSTATE_COMPLETED && documents && ippGetInteger(documents, 0) == 0)
        return Fate::Empty;
    return Fate::Printing;
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

void setPrintWaits(const PrintWaits& w) {
    waits = w;
}

const PrintWaits& printWaits() {
    return waits;
}

PrintJob::PrintJob(Surface page, Paper fallback, bool useService)
    : page_(std::move(page)), fallback_(fallback), useService_(useService), waits_(waits),
      lastAnswer_(nowMs()) {
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
        // A service that goes away in the middle of the page fails the write; the signal
        // would end the program.
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
        job->run();
        --runningJobs;
    }).detach();
}

bool PrintJob::overdue() const {
    return !local_ && nowMs() - lastAnswer_ > waits_.answerMs;
}

bool PrintJob::keepAsking() const {
    return !cancelled_ && nowMs() - lastAnswer_ < int64_t{waits_.answerMs} + waits_.fateMs;
}

bool PrintJob::keepWaiting() {
    if (!cancelled_ && !overdue()) return true;
    // Past the window's patience only an answer that tells what became of a job is awaited.
    const Phase p = phase_;
    if (p != Phase::Asking && p != Phase::Writing && keepAsking()) return true;
    gaveUp_ = true;
    return false;
}

PrintOutcome PrintJob::leave() {
    std::lock_guard<std::mutex> lock(mutex_);
    left_ = true;
    if (decided()) return outcome_;
    PrintOutcome now = pageWhole_ ? whole_ : PrintOutcome{};
    now.kind = pageWhole_ ? PrintOutcome::InDoubt : PrintOutcome::TimedOut;
    now.server = server_;
    return now;
}

bool PrintJob::commitPage() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (left_ || cancelled_) return false;
    pageWhole_ = true;
    phase_ = Phase::Finishing;
    whole_.printer = outcome_.printer;
    whole_.job = outcome_.job;
    whole_.reduction = outcome_.reduction;
    return true;
}

void PrintJob::decide() {
    std::lock_guard<std::mutex> lock(mutex_);
    decided_.store(true, std::memory_order_release);
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
    decide();
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
    phase_ = Phase::Creating;
    const int id = createJob(service);
    if (id == 0) return;
    outcome_.job = id;
    switch (sendPage(service, id)) {
    case Delivery::Taken:
        outcome_.kind = PrintOutcome::Sent;
        outcome_.pdf.clear();
        break;
    case Delivery::Unsure:
        learnFate(service, id);
        break;
    case Delivery::Lost:
        decide();
        cancelEmptyJob(service, id);
        break;
    }
}

bool PrintJob::connectToService(Service& service) {
    if (!reconnect(service)) {
        fail(PrintOutcome::NotRunning);
        return false;
    }
    return true;
}

bool PrintJob::reconnect(Service& service) {
    if (service.http) httpClose(service.http);
    // Past the window's patience the time left is the time for learning a job's fate.
    const int64_t patience = waits_.answerMs + (phase_ == Phase::Asking ? 0 : waits_.fateMs);
    const int64_t left = patience - (nowMs() - lastAnswer_);
    service.http =
        httpConnect2(server_.c_str(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                     static_cast<int>(std::clamp<int64_t>(left, 1, waits_.answerMs)), nullptr);
    // Every wait for the service asks keepWaiting() each tenth of a second.
    if (service.http) httpSetTimeout(service.http, 0.1, vx::keepWaiting, this);
    return service.http != nullptr;
}

bool PrintJob::findPrinter(Service& service) {
    service.count = cupsGetDests2(service.http, &service.dests);
    if (service.count == 0) {
        const ipp_status_t s = cupsLastError();
        if (succeeded(s) || s == IPP_STATUS_ERROR_NOT_FOUND)
            fail(PrintOutcome::NoPrinter);
        else if (httpError(service.http) != 0) // it went away rather than answering
            fail(PrintOutcome::NotRunning);
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
    if (id == 0 && httpError(service.http) != 0) {
        fail(PrintOutcome::Failed, brokeOff("before it made the job"));
        return 0;
    }
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

PrintJob::Delivery PrintJob::sendPage(Service& service, int id) {
    phase_ = Phase::Writing;
    const auto wanted = [this] {
        std::lock_guard<std::mutex> lock(mutex_);
        return !left_ && !cancelled_;
    };
    http_status_t status = HTTP_STATUS_CONTINUE;
    if (wanted())
        status =
            cupsStartDocument(service.http, service.dest->name, id, kTitle, CUPS_FORMAT_PDF, 1);
    const std::string& pdf = outcome_.pdf;
    for (size_t at = 0; at < pdf.size() && status == HTTP_STATUS_CONTINUE && wanted();
         at += kPiece) {
        status =
            cupsWriteRequestData(service.http, pdf.data() + at, std::min(kPiece, pdf.size() - at));
        if (status == HTTP_STATUS_CONTINUE) answered();
    }
    if (status != HTTP_STATUS_CONTINUE)
        return abandon(status == HTTP_STATUS_ERROR || httpError(service.http) != 0);
    if (!commitPage()) return abandon(false);
    return finishPage(service);
}

PrintJob::Delivery PrintJob::finishPage(Service& service) {
    const std::string resource = std::string("/printers/") + service.dest->name;
    // The page's end goes with the wait for the answer.
    ipp_t* response = cupsGetResponse(service.http, resource.c_str());
    if (!response) return Delivery::Unsure;
    ippDelete(response);
    answered();
    if (succeeded(cupsLastError())) return Delivery::Taken;
    outcome_.kind = PrintOutcome::Refused;
    outcome_.reason = lastError();
    outcome_.job = 0;
    return Delivery::Lost;
}

std::string PrintJob::brokeOff(const std::string& when) const {
    return "the print service at " + server_ + " broke off the connection " + when;
}

PrintJob::Delivery PrintJob::abandon(bool broken) {
    bool given = cancelled_;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        given = given || left_;
    }
    if (given)
        fail(PrintOutcome::Failed, "the print was given up");
    else if (broken)
        fail(PrintOutcome::Failed, brokeOff(kBeforePage));
    else
        fail(PrintOutcome::Refused);
    outcome_.job = 0;
    return Delivery::Lost;
}

void PrintJob::learnFate(Service& service, int id) {
    phase_ = Phase::Settling;
    outcome_.kind = PrintOutcome::InDoubt;
    const int tries = waits_.fateMs / kRetryMs + 2;
    for (int i = 0; i < tries && keepAsking(); ++i) {
        if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(kRetryMs));
        if (!reconnect(service)) continue;
        ipp_t* response = cupsDoRequest(
            service.http, jobRequest(IPP_OP_GET_JOB_ATTRIBUTES, service.dest, id), "/");
        if (!response) continue;
        const Fate fate = fateOf(response);
        const int state = ippGetInteger(ippFindAttribute(response, "job-state", IPP_TAG_ENUM), 0);
        ippDelete(response);
        if (fate == Fate::Printing) {
            outcome_.kind = PrintOutcome::Sent;
            outcome_.pdf.clear();
        } else if (fate != Fate::Unknown) {
            outcome_.kind = PrintOutcome::Failed;
            outcome_.reason = fate == Fate::Empty
                                  ? brokeOff(kBeforePage)
                                  : "job " + std::to_string(id) + " was " +
                                        (state == IPP_JSTATE_CANCELED ? "cancelled" : "aborted") +
                                        " at the print service";
            outcome_.job = 0;
            decide();
            if (fate == Fate::Empty) cancelEmptyJob(service, id);
        }
        return;
    }
}

void PrintJob::cancelEmptyJob(Service& service, int id) {
    phase_ = Phase::Settling;
    const int tries = waits_.fateMs / kRetryMs + 2;
    for (int i = 0; i < tries && keepAsking(); ++i) {
        if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(kRetryMs));
        // A new connection: the old one may have stopped in the middle of the page.
        if (!reconnect(service)) continue;
        ipp_t* response =
            cupsDoRequest(service.http, jobRequest(IPP_OP_CANCEL_JOB, service.dest, id), "/jobs/");
        const bool answered = response != nullptr;
        ippDelete(response);
        if (answered) return;
    }
}

} // namespace vx
