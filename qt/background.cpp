#include "qt/background.hpp"

#include "qt/qtplatform.hpp"
#include "qt/window.hpp"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vx {

namespace {

constexpr int kPollMs = 100;
constexpr int kProgressSteps = 1000;

// The work yields to the window: encoders' threads started from it inherit this.
void lowerPriority() {
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), 10);
}

} // namespace

BackgroundTask::BackgroundTask(MainWindow* w, Platform::BackgroundWork work,
                               std::function<void(const std::string&)> finished)
    : shared_(std::make_shared<Shared>()), finished_(std::move(finished)) {
    if (w) {
        bar_ = new QWidget(w);
        bar_->setObjectName("backgroundWork");
        auto* row = new QHBoxLayout(bar_);
        row->setContentsMargins(0, 0, 0, 0);
        caption_ = new QLabel(QString::fromStdString(work.caption), bar_);
        progress_ = new QProgressBar(bar_);
        progress_->setRange(0, kProgressSteps);
        progress_->setMaximumWidth(200);
        cancel_ = new QPushButton(QStringLiteral("Cancel"), bar_);
        cancel_->setObjectName("cancelBackground");
        row->addWidget(caption_);
        row->addWidget(progress_);
        row->addWidget(cancel_);
        QObject::connect(cancel_, &QPushButton::clicked, [this] { cancel(); });
        w->statusBar()->addPermanentWidget(bar_);
        bar_->show();
    }
    thread_ = std::thread([s = shared_, run = std::move(work.run)] {
        lowerPriority();
        std::string outcome;
        try {
            outcome = run([&s](double p) {
                s->progress.store(p, std::memory_order_relaxed);
                return !s->cancelled.load(std::memory_order_relaxed);
            });
        } catch (const std::exception& e) {
            outcome = std::string("The work failed: ") + e.what() + ".";
        }
        s->outcome = std::move(outcome);
        s->done.store(true, std::memory_order_release);
    });
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
    timer_.start(kPollMs);
}

BackgroundTask::~BackgroundTask() {
    shared_->cancelled = true;
    if (thread_.joinable()) thread_.join();
    delete bar_.data();
}

void BackgroundTask::cancel() {
    shared_->cancelled = true;
    if (cancel_) cancel_->setEnabled(false);
    if (caption_) caption_->setText(QStringLiteral("Cancelling..."));
}

void BackgroundTask::poll() {
    if (progress_) progress_->setValue(static_cast<int>(shared_->progress.load() * kProgressSteps));
    if (!shared_->done.load(std::memory_order_acquire)) return;
    timer_.stop();
    thread_.join();
    delete bar_.data();
    over_ = true;
    if (finished_) finished_(shared_->outcome);
}

QtPlatform::QtPlatform(MainWindow*& w) : w_(w) {}

QtPlatform::~QtPlatform() = default;

bool QtPlatform::runInBackground(BackgroundWork w) {
    if (background_ && !background_->over()) return false;
    background_.reset();
    background_ = std::make_unique<BackgroundTask>(w_, std::move(w),
                                                   [this](const std::string& s) { status(s); });
    return true;
}

std::optional<std::vector<int>> QtPlatform::askForm(const std::string& title,
                                                    const std::vector<FormQuestion>& qs) {
    QDialog d(w_);
    d.setWindowTitle(QString::fromStdString(title));
    auto* form = new QFormLayout(&d);
    std::vector<QSpinBox*> numbers(qs.size(), nullptr);
    std::vector<QComboBox*> lists(qs.size(), nullptr);
    for (size_t i = 0; i < qs.size(); ++i) {
        const FormQuestion& q = qs[i];
        QWidget* field = nullptr;
        if (q.choices.empty()) {
            field = numbers[i] = new QSpinBox(&d);
            numbers[i]->setRange(q.min, q.max);
            numbers[i]->setValue(q.value);
        } else {
            field = lists[i] = new QComboBox(&d);
            for (const std::string& c : q.choices) lists[i]->addItem(QString::fromStdString(c));
            lists[i]->setCurrentIndex(q.value);
        }
        form->addRow(QString::fromStdString(q.label), field);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    form->addRow(buttons);
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    std::vector<int> answers;
    for (size_t i = 0; i < qs.size(); ++i)
        answers.push_back(numbers[i] ? numbers[i]->value() : lists[i]->currentIndex());
    return answers;
}

} // namespace vx
