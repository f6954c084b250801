#pragma once
// A print service of the test's own: cupsd listening on a socket in a temporary folder, with
// cups-pdf queues that write their PDF files into that folder. cupsd runs its backends as
// root, so this needs root, cupsd and cups-pdf; why() says what is missing. Everything it
// started or wrote goes when it goes, also after a failed test.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace vx::testing {

// True when something accepts connections on the Unix socket at path.
inline bool socketAnswers(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray p = path.toLocal8Bit();
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", p.constData());
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

class PrivateCups {
  public:
    static constexpr const char* kPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";
    static constexpr const char* kBackend = "/usr/lib/cups/backend/cups-pdf";

    PrivateCups() {
        if (::geteuid() != 0) {
            why_ = "cupsd runs the cups-pdf backend only for root";
            return;
        }
        for (const char* tool : {"/usr/sbin/cupsd", "/usr/sbin/lpadmin", "/usr/sbin/cupsreject",
                                 "/usr/bin/lpstat", kPpd, kBackend})
            if (!QFile::exists(tool)) {
                why_ = std::string(tool) + " is not installed (cups, printer-driver-cups-pdf)";
                return;
            }
        if (!dir_.isValid()) {
            why_ = "no temporary folder";
            return;
        }
        // The filters run as lp and must reach the spool and the temporary files.
        ::chmod(dir_.path().toLocal8Bit().constData(), 0755);
        for (const char* sub : {"root", "spool", "cache", "state", "log", "out", "tmp"})
            QDir(dir_.path()).mkdir(sub);
        ::chmod(path("tmp").toLocal8Bit().constData(), 01777);
        write("root/cupsd.conf", "Listen " + socket() +
                                     "\nLogLevel debug\nBrowsing Off\nDefaultAuthType None\n"
                                     "WebInterface No\n<Location />\n  Order allow,deny\n"
                                     "  Allow all\n</Location>\n<Policy default>\n"
                                     "  <Limit All>\n    Order deny,allow\n    Allow all\n"
                                     "  </Limit>\n</Policy>\n");
        write("root/cups-files.conf",
              "ServerRoot " + path("root") + "\nRequestRoot " + path("spool") + "\nCacheDir " +
                  path("cache") + "\nStateDir " + path("state") + "\nTempDir " + path("tmp") +
                  "\nErrorLog " + path("log/error_log") + "\nAccessLog " + path("log/access_log") +
                  "\nPageLog " + path("log/page_log") + "\nPrintcap " + path("printcap") +
                  "\nSystemGroup root\n");
        // cups-pdf reads /etc/cups/cups-pdf-NAME.conf for the device cups-pdf:/NAME.
        tag_ = "vortalis-test-" + QString::number(::getpid());
        pdfConf_ = "/etc/cups/cups-pdf-" + tag_ + ".conf";
        QFile conf(pdfConf_);
        if (!conf.open(QIODevice::WriteOnly) ||
            conf.write(("Out " + path("out") + "\nAnonDirName " + path("out") + "\nSpool " +
                        path("cups-pdf-spool") + "\nGSTmp " + path("tmp") + "\nLog " + path("log") +
                        "\nLogType 3\n")
                           .toLocal8Bit()) < 0) {
            why_ = "cannot write " + pdfConf_.toStdString();
            return;
        }
        conf.close();
        cupsd_.setProcessChannelMode(QProcess::MergedChannels);
        cupsd_.setStandardOutputFile(path("log/cupsd"));
        // Should the test crash, cupsd goes with it.
        cupsd_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        cupsd_.start("/usr/sbin/cupsd",
                     {"-f", "-c", path("root/cupsd.conf"), "-s", path("root/cups-files.conf")});
        if (!cupsd_.waitForStarted(10000)) {
            why_ = "cupsd did not start";
            return;
        }
        for (int i = 0; i < 200 && !socketAnswers(socket()); ++i) {
            if (cupsd_.state() != QProcess::Running) break;
            QThread::msleep(50);
        }
        if (!socketAnswers(socket())) why_ = "cupsd did not open its socket; see " + log();
    }
    ~PrivateCups() {
        if (cupsd_.state() != QProcess::NotRunning) {
            cupsd_.terminate();
            if (!cupsd_.waitForFinished(10000)) {
                cupsd_.kill();
                cupsd_.waitForFinished(5000);
            }
        }
        if (!pdfConf_.isEmpty()) QFile::remove(pdfConf_);
    }
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;

    // Empty when the service runs; else why not, for the skip message.
    const std::string& why() const { return why_; }
    QString socket() const { return path("cups.sock"); }
    QString path(const QString& name) const { return dir_.filePath(name); }
    std::string log() const { return path("log/error_log").toStdString(); }

    // Runs one of the CUPS tools against this service; false (and the tool's words in
    // lastOutput) when it fails.
    bool tool(const QString& program, QStringList args) {
        args.prepend(socket());
        args.prepend("-h");
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, args);
        const bool ok =
            p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        lastOutput = p.readAll().toStdString();
        return ok;
    }
    // A queue that writes PDF files into the folder's "out".
    bool addPdfQueue(const QString& name) {
        return tool("/usr/sbin/lpadmin", {"-p", name, "-E", "-v", "cups-pdf:/" + tag_, "-P", kPpd});
    }

    // The PDF file cups-pdf made of a job, once the job is done; empty after a minute.
    QString waitForPdf(int job) {
        // cups-pdf names the file after the title and the job, as "TITLE-job_N.pdf".
        const QString name = "*-job_" + QString::number(job) + ".pdf";
        const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (std::chrono::steady_clock::now() < until) {
            if (tool("/usr/bin/lpstat", {"-W", "completed", "-o"}) &&
                lastOutput.find("-" + std::to_string(job) + " ") != std::string::npos)
                for (const QString& f : QDir(path("out")).entryList({name}))
                    return path("out/" + f);
            QThread::msleep(100);
        }
        return {};
    }

    std::string lastOutput;

  private:
    void write(const QString& name, const QString& text) {
        QFile f(path(name));
        if (f.open(QIODevice::WriteOnly)) f.write(text.toLocal8Bit());
    }

    QTemporaryDir dir_;
    QString tag_, pdfConf_;
    QProcess cupsd_;
    std::string why_;
};

} // namespace vx::testing
