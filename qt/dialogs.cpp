// The desktop's dialogs for choosing a file to read and one of a few choices.
#include "qt/window.hpp"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QStringList>

namespace vx {

std::optional<std::string> QtPlatform::askOpenFile(const std::string& title,
                                                   const std::string& filter) {
    const QString file = QFileDialog::getOpenFileName(
        w_, QString::fromStdString(title), QDir::currentPath(), QString::fromStdString(filter));
    if (file.isEmpty()) return std::nullopt;
    return file.toStdString();
}

std::optional<std::string> QtPlatform::askChoice(const std::string& title, const std::string& label,
                                                 const std::vector<std::string>& choices,
                                                 int current) {
    QStringList items;
    for (const std::string& c : choices) items << QString::fromStdString(c);
    bool ok = false;
    const QString item =
        QInputDialog::getItem(w_, QString::fromStdString(title), QString::fromStdString(label),
                              items, current, false, &ok);
    if (!ok) return std::nullopt;
    return item.toStdString();
}

} // namespace vx
