#pragma once
// Sending a page to the print service (CUPS) on a thread of its own, so that a service that
// hangs never holds up the window, and what came of it in the service's own words.
#include "export/printpage.hpp"
#include "surface/surface.hpp"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace vx {

// The print service gets this long to answer each step before the print is given up.
constexpr int kPrintServiceSeconds = 5;

struct PrintOutcome {
    enum Kind {
        Sent,       // the service accepted the job
        NoPrinter,  // the service has no printer
        NoDefault,  // printers, but none is the default
        NotRunning, // nothing answers where the service should be
        TimedOut,   // the service took a request and never answered
        Refused,    // the printer would not take the job
        Failed,     // anything else; reason says what
    };
    Kind kind = Failed;
    std::string server;  // where the service was looked for
    std::string printer; // the default printer, once found
    std::string reason;  // why it failed, in the service's words
    int job = 0;
    int reduction = 1; // the drawing was reduced by this factor to fit the paper
    // Without a printer to take it, the page as a PDF file's bytes.
    std::string pdf;
};

// One print on its way: the window's thread starts it and watches it; the worker fills it.
class PrintJob : public std::enable_shared_from_this<PrintJob> {
  public:
    // fallback is the paper for a page no printer describes; without the service the page
    // is only made, for a file.
    PrintJob(Surface page, Paper fallback, bool useService);

    // Starts the worker thread.
    void start();
    bool done() const { return done_.load(std::memory_order_acquire); }
    // The service has not answered for kPrintServiceSeconds: the window stops waiting.
    bool overdue() const;
    // The worker stops at its next wait.
    void cancel() { cancelled_ = true; }
    // Once done().
    const PrintOutcome& outcome() const { return outcome_; }

    // Where the service is looked for.
    const std::string& server() const { return server_; }

    // Prints still on their way, also those the window gave up on.
    static int running();

    // For the service's waits: false once the print is to be given up.
    bool keepWaiting();

  private:
    struct Service;

    void run();
    // Sends the page to the service's default printer, step by step: connect, find the
    // printer, make the page for its paper, create the job, send the page into it.
    void send();
    bool connectToService(Service& service);
    bool findPrinter(Service& service);
    // The job's id, or 0 when the printer took none.
    int createJob(Service& service);
    bool sendPage(Service& service, int id);
    // The job is given up: cancelled unless the service stopped answering. Always false.
    bool abandon(Service& service, int id, std::string reason);
    // The outcome is kind with the reason given, or the service's last error; TimedOut when
    // the service stopped answering.
    void fail(PrintOutcome::Kind kind);
    void fail(PrintOutcome::Kind kind, std::string reason);
    void answered();
    void makePdf(const Paper& paper);

    Surface page_;
    Paper fallback_;
    std::string server_;
    bool useService_;
    PrintOutcome outcome_;
    std::atomic<bool> done_{false}, cancelled_{false}, local_{false}, gaveUp_{false};
    std::atomic<int64_t> lastAnswer_; // steady milliseconds
};

} // namespace vx
