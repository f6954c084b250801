#pragma once
// Sending a page to the print service (CUPS) on a thread of its own, so that a service that
// hangs never holds up the window, and what came of it in the service's own words.
#include "export/printpage.hpp"
#include "surface/surface.hpp"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace vx {

struct PrintWaits {
    // The window waits this long for each answer of the print service.
    int answerMs = 5000;
    // Once the window has stopped waiting, the worker asks this long what became of a job the
    // service may hold, to tell the user and to cancel a job left without its page.
    int fateMs = 60000;
};
// For tests, which cannot wait the full times again and again.
void setPrintWaits(const PrintWaits& waits);
const PrintWaits& printWaits();

struct PrintOutcome {
    enum Kind {
        Sent,       // the service accepted the job
        NoPrinter,  // the service has no printer
        NoDefault,  // printers, but none is the default
        NotRunning, // nothing answers where the service should be
        TimedOut,   // the service took a request and never answered
        Refused,    // the printer would not take the job
        Failed,     // anything else; reason says what
        InDoubt,    // the service has the whole page but has not said whether it took it
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
    // What came of the print is known; the worker may still be cancelling a job left empty.
    bool decided() const { return decided_.load(std::memory_order_acquire); }
    // The service has not answered for PrintWaits::answerMs: the window stops waiting.
    bool overdue() const;
    // The window stops waiting: what is known now. The page is no longer sent if it is not
    // whole with the service yet (TimedOut); if it is, InDoubt until the worker learns more.
    PrintOutcome leave();
    // The program is closing: the worker stops at its next wait.
    void cancel() { cancelled_ = true; }
    // Once decided().
    const PrintOutcome& outcome() const { return outcome_; }

    // Where the service is looked for.
    const std::string& server() const { return server_; }

    // Prints still on their way, also those the window gave up on.
    static int running();

    // For the service's waits: false once the print is to be given up.
    bool keepWaiting();

  private:
    struct Service;
    // Where the worker is: what a wait past the window's patience may still bring.
    enum class Phase { Asking, Creating, Writing, Finishing, Settling };
    // What became of the page: the service took it, it cannot print, or nobody knows yet.
    enum class Delivery { Taken, Lost, Unsure };

    void run();
    // Sends the page to the service's default printer, step by step: connect, find the
    // printer, make the page for its paper, create the job, send the page into it.
    void send();
    bool connectToService(Service& service);
    bool findPrinter(Service& service);
    // The job's id, or 0 when the printer took none.
    int createJob(Service& service);
    Delivery sendPage(Service& service, int id);
    // The last piece of the page goes only while the window still waits for it.
    bool commitPage();
    Delivery finishPage(Service& service);
    // The page did not reach the service whole: the job is left without it. broken: the
    // connection failed, rather than the service refusing.
    Delivery abandon(bool broken);
    // After the page went whole but unanswered: asks the service about the job.
    void learnFate(Service& service, int id);
    // A job left without its page would wait in the queue for nothing.
    void cancelEmptyJob(Service& service, int id);
    bool reconnect(Service& service);
    // While the worker may still learn a job's fate.
    bool keepAsking() const;
    std::string brokeOff(const std::string& when) const;
    void decide();
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
    PrintWaits waits_;
    PrintOutcome outcome_;
    std::atomic<bool> decided_{false}, cancelled_{false}, local_{false}, gaveUp_{false};
    std::atomic<Phase> phase_{Phase::Asking};
    std::atomic<int64_t> lastAnswer_; // steady milliseconds
    // Between the window leaving and the worker sending the page's end.
    std::mutex mutex_;
    bool left_ = false, pageWhole_ = false;
    PrintOutcome whole_; // once the page's end has gone: what the window may say
};

} // namespace vx
