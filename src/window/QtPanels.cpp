#include "window/QtPanels.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

namespace salvora {
namespace {

std::optional<std::string> chosen(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

}  // namespace

std::optional<std::string> QtPanels::chooseFolder(const std::string& startDirectory) {
    return chosen(QFileDialog::getExistingDirectory(QApplication::activeWindow(), QString(),
                                                    QString::fromStdString(startDirectory)));
}

std::optional<std::string> QtPanels::chooseSavePath(const std::string& proposedName) {
    // A bare name as the start: the dialog opens in its usual place with that name filled in.
    return chosen(QFileDialog::getSaveFileName(QApplication::activeWindow(), QString(),
                                               QString::fromStdString(proposedName)));
}

void QtPanels::openUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

}  // namespace salvora
