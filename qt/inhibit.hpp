#pragma once
// Asks the desktop not to start its own screen saver while the window's screen-saver mode
// runs (org.freedesktop.ScreenSaver over the session bus); without a bus nothing happens.
#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QObject>
#include <QString>
#include <optional>

namespace vx {

class ScreenSaverInhibitor : public QObject {
    Q_OBJECT
  public:
    // On the session bus, or on the connection of that name (tests use a bus of their own).
    explicit ScreenSaverInhibitor(QString connection = {}, QObject* parent = nullptr)
        : QObject(parent), connection_(std::move(connection)) {}
    ~ScreenSaverInhibitor() override;
    // Holds the inhibition while on; lets it go when off.
    void hold(bool on);

  private:
    void sync();
    QDBusConnection bus() const;
    QString connection_;
    bool wanted_ = false;
    std::optional<QDBusPendingCall> pending_; // an Inhibit not answered yet
    std::optional<uint> cookie_;
};

} // namespace vx
