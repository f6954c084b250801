#include "qt/inhibit.hpp"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace vx {

namespace {

QDBusMessage screenSaverCall(const char* method) {
    return QDBusMessage::createMethodCall("org.freedesktop.ScreenSaver",
                                          "/org/freedesktop/ScreenSaver",
                                          "org.freedesktop.ScreenSaver", method);
}

} // namespace

QDBusConnection ScreenSaverInhibitor::bus() const {
    // Looked up when needed: a window that never enters the mode never touches the bus.
    return connection_.isEmpty() ? QDBusConnection::sessionBus() : QDBusConnection(connection_);
}

ScreenSaverInhibitor::~ScreenSaverInhibitor() {
    // Quitting while the desktop has not answered yet: its answer holds the cookie to give back.
    if (pending_) {
        pending_->waitForFinished();
        const QDBusPendingReply<uint> reply = *pending_;
        if (reply.isValid()) cookie_ = reply.value();
    }
    if (!cookie_) return;
    // Quitting: the desktop hears of it before the program ends.
    QDBusMessage m = screenSaverCall("UnInhibit");
    m << *cookie_;
    bus().call(m, QDBus::Block, 500);
}

void ScreenSaverInhibitor::hold(bool on) {
    wanted_ = on;
    sync();
}

void ScreenSaverInhibitor::sync() {
    if (pending_) return; // the answer to the last call decides
    QDBusConnection bus = this->bus();
    if (!bus.isConnected()) return;
    if (wanted_ && !cookie_) {
        QDBusMessage m = screenSaverCall("Inhibit");
        m << QStringLiteral("Vortalis") << QStringLiteral("Screen-saver mode is running");
        // A desktop that does not answer soon is taken as none.
        pending_ = bus.asyncCall(m, 2000);
        auto* w = new QDBusPendingCallWatcher(*pending_, this);
        connect(w, &QDBusPendingCallWatcher::finished, this, [this, w] {
            const QDBusPendingReply<uint> reply = *w;
            w->deleteLater();
            pending_.reset();
            if (reply.isValid()) cookie_ = reply.value();
            sync();
        });
    } else if (!wanted_ && cookie_) {
        QDBusMessage m = screenSaverCall("UnInhibit");
        m << *cookie_;
        bus.asyncCall(m);
        cookie_.reset();
    }
}

} // namespace vx
