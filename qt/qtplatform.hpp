#pragma once
// The desktop's services as the window gives them: its dialogs, its status line, its
// clipboard and its font.
#include "platform/platform.hpp"
#include "qt/workers.hpp"

#include <QDialog>
#include <memory>

class QPlainTextEdit;

namespace vx {

class MainWindow;
class BackgroundTask;
class PrintJob;

// Asks for a line of text such as a drawing code. The field wraps, and is sized to show the
// longest code the window makes whole; Return accepts.
class TextDialog : public QDialog {
    Q_OBJECT
  public:
    TextDialog(QWidget* parent, const QString& title, const QString& label);
    QPlainTextEdit* field() const { return field_; }
    QString text() const;

  protected:
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    QPlainTextEdit* field_;
};

// The platform's services through the window; w is the window once it exists.
class QtPlatform : public Platform {
  public:
    explicit QtPlatform(MainWindow*& w);
    ~QtPlatform() override;
    void pumpEvents() override;
    void maximise() override;
    void quit() override;
    void later(std::function<void()> f) override;
    void copyText(const std::string& text) override;
    std::optional<std::string> askText(const std::string& title, const std::string& label) override;
    int drawText(Surface& s, int x, int y, const std::string& text, int32_t colour) override;
    Result<Surface> readPicture(const std::string& file) override;
    std::optional<std::string> askSaveFile(const std::string& title, const std::string& suggested,
                                           const std::string& filter) override;
    std::optional<int> askNumber(const std::string& title, const std::string& label, int value,
                                 int min, int max) override;
    std::optional<std::string> askOpenFile(const std::string& title,
                                           const std::string& filter) override;
    std::optional<std::string> askChoice(const std::string& title, const std::string& label,
                                         const std::vector<std::string>& choices,
                                         int current) override;
    std::optional<std::vector<bool>> askChecks(const std::string& title, const std::string& label,
                                               const std::vector<std::string>& names,
                                               const std::vector<bool>& ticked) override;
    std::optional<std::string> askFolder(const std::string& title) override;
    std::optional<SurfaceSize> screenPixels() override;
    std::optional<double> screenDotsPerInch() override;
    void status(const std::string& text) override;
    bool confirm(const std::string& question) override;
    // In qt/print.cpp.
    Result<std::string> printWindow() override;
    // In qt/background.cpp.
    std::optional<std::vector<int>> askForm(const std::string& title,
                                            const std::vector<FormQuestion>& qs) override;
    bool runInBackground(BackgroundWork w) override;
    BackgroundTask* backgroundTask() const { return background_.get(); }
    // In qt/workers.cpp.
    void runOnWorkers(std::vector<Job> jobs) override;
    std::string printInDoubt() override;

  protected:
    void showWarning(const std::string& text) override;

  private:
    // Says what became of a print once the service tells, after the window stopped waiting.
    void watchPrint(std::shared_ptr<PrintJob> job, int id);

    MainWindow*& w_;
    std::unique_ptr<BackgroundTask> background_;
    // The workers' dones reach the window's thread through the context's event queue; the
    // workers go first, so that nothing is posted to a context that is gone.
    std::unique_ptr<QObject> jobsContext_;
    std::unique_ptr<Workers> workers_;
    std::shared_ptr<PrintJob> inDoubt_; // the last print whose fate is not known yet
    int inDoubtId_ = 0;
};

} // namespace vx
