// Holding off the desktop's screen saver, against a fake org.freedesktop.ScreenSaver on a
// private session bus.
#include "app/startup.hpp"
#include "qt/app.hpp"
#include "qt/inhibit.hpp"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace vx;

namespace {

// A dbus-daemon of the test's own.
class PrivateBus {
  public:
    PrivateBus() {
        int fds[2];
        if (::pipe(fds) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            const std::string fd = "--print-address=" + std::to_string(fds[1]);
            ::freopen("/dev/null", "w", stderr);
            ::execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--nopidfile",
                     fd.c_str(), static_cast<char*>(nullptr));
            std::_Exit(127);
        }
        ::close(fds[1]);
        char ch = 0;
        while (::read(fds[0], &ch, 1) == 1 && ch != '\n') address_ += ch;
        ::close(fds[0]);
    }
    ~PrivateBus() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    QString address() const { return QString::fromStdString(address_); }

  private:
    pid_t pid_ = -1;
    std::string address_;
};

// Answers Inhibit with cookies from 7 up and notes every call; it runs on a thread of its
// own, so that a blocking call from the test's thread gets its answer.
class FakeScreenSaver : public QDBusVirtualObject {
  public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& m, const QDBusConnection& c) override {
        if (m.interface() != "org.freedesktop.ScreenSaver") return false;
        const QList<QVariant> a = m.arguments();
        std::lock_guard lock(mutex_);
        if (m.member() == "Inhibit" && a.size() == 2) {
            calls_.push_back("Inhibit " + a[0].toString().toStdString() + ": " +
                             a[1].toString().toStdString());
            c.send(m.createReply(QVariant::fromValue(next_++)));
        } else if (m.member() == "UnInhibit" && a.size() == 1) {
            calls_.push_back("UnInhibit " + std::to_string(a[0].toUInt()));
            c.send(m.createReply());
        } else {
            return false;
        }
        return true;
    }
    std::vector<std::string> calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
    uint next_ = 7;
};

// The fake on a bus connection of its own, served from its own thread.
class FakeDesktop {
  public:
    explicit FakeDesktop(const QString& address)
        : service_(QDBusConnection::connectToBus(address, "fake-service")) {
        fake_.moveToThread(&thread_);
        thread_.start();
        ok_ = service_.registerVirtualObject("/org/freedesktop/ScreenSaver", &fake_) &&
              service_.registerService("org.freedesktop.ScreenSaver");
    }
    ~FakeDesktop() {
        service_.unregisterObject("/org/freedesktop/ScreenSaver");
        thread_.quit();
        thread_.wait();
        QDBusConnection::disconnectFromBus("fake-service");
    }
    bool ok() const { return ok_; }
    std::vector<std::string> calls() const { return fake_.calls(); }

  private:
    QDBusConnection service_;
    QThread thread_;
    FakeScreenSaver fake_;
    bool ok_ = false;
};

const std::string kHeld = "Inhibit Vortalis: Screen-saver mode is running";

} // namespace

TEST(Inhibit, HeldWhileOnReleasedWhenOffOrGoneAndQuietWithoutABus) {
    PrivateBus bus;
    if (bus.address().isEmpty()) GTEST_SKIP() << "no dbus-daemon";
    FakeDesktop fake(bus.address());
    QDBusConnection client = QDBusConnection::connectToBus(bus.address(), "inhibitor");
    ASSERT_TRUE(fake.ok() && client.isConnected());
    const std::string& held = kHeld;
    using Calls = std::vector<std::string>;
    auto seen = [&](const Calls& want) {
        return QTest::qWaitFor([&] { return fake.calls() == want; }, 3000);
    };
    {
        ScreenSaverInhibitor inhibitor("inhibitor");
        inhibitor.hold(true);
        inhibitor.hold(true); // once is enough
        EXPECT_TRUE(seen({held})) << fake.calls().size();
        inhibitor.hold(false);
        EXPECT_TRUE(seen({held, "UnInhibit 7"}));
        // On and off before the answer comes: it ends released.
        inhibitor.hold(true);
        inhibitor.hold(false);
        EXPECT_TRUE(seen({held, "UnInhibit 7", held, "UnInhibit 8"}));
        inhibitor.hold(true);
        EXPECT_TRUE(seen({held, "UnInhibit 7", held, "UnInhibit 8", held}));
    }
    // Quitting while held lets it go.
    EXPECT_EQ(fake.calls().back(), "UnInhibit 9");

    ScreenSaverInhibitor nowhere("no-such-connection");
    nowhere.hold(true);
    nowhere.hold(false);

    QDBusConnection::disconnectFromBus("inhibitor");
}

namespace {

// The window entering the mode, leaving it, entering it again and quitting, with the mode's
// menu items as a user picks them. Runs in a child process, whose exit status says it ended.
void enterLeaveEnterAndQuit() {
    {
        Program p;
        p.start();
        if (!QTest::qWaitFor([&] { return p.shapes().loop.phase == kMainPage; }, 5000))
            std::_Exit(3);
        QTest::mouseClick(qobject_cast<QPushButton*>(p.window().control("Command4")),
                          Qt::LeftButton);
        if (!QTest::qWaitFor([&] { return p.shapes().loop.phase == kMainLoop; }, 5000))
            std::_Exit(4);
        for (const char* item : {"ssaver", "regmode", "ssaver"}) {
            p.window().menuItem(item)->trigger();
            QTest::qWait(200);
        }
        QTimer::singleShot(0, [&] { p.window().menuItem("quit")->trigger(); });
        QTimer::singleShot(5000, [] { std::_Exit(5); });
        QApplication::exec();
    }
    std::_Exit(0);
}

} // namespace

TEST(Inhibit, TheWindowHoldsItWhileItsScreenSaverModeRunsAndUntilItQuits) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The window runs in a child started afresh, whose session bus is the private one. The
    // child runs this test again up to the same EXPECT_EXIT, without a bus of its own.
    auto window = [] { EXPECT_EXIT(enterLeaveEnterAndQuit(), ::testing::ExitedWithCode(0), ""); };
    if (qEnvironmentVariableIsSet("VORTALIS_TEST_CHILD")) return window();
    PrivateBus bus;
    if (bus.address().isEmpty()) GTEST_SKIP() << "no dbus-daemon";
    FakeDesktop fake(bus.address());
    ASSERT_TRUE(fake.ok());
    const QByteArray before = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
    qputenv("VORTALIS_TEST_CHILD", "1");
    window();
    qunsetenv("VORTALIS_TEST_CHILD");
    if (before.isNull())
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    else
        qputenv("DBUS_SESSION_BUS_ADDRESS", before);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return fake.calls() ==
                   std::vector<std::string>{kHeld, "UnInhibit 7", kHeld, "UnInhibit 8"};
        },
        3000))
        << fake.calls().size();
}
