#include "window/QtPanels.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
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

QString passwordPrompt(const std::string& deviceName, bool wrongBefore) {
    QString prompt =
        QString::fromUtf8("The backup of \u201c%1\u201d is encrypted. Enter its password:")
            .arg(QString::fromStdString(deviceName));
    if (wrongBefore) prompt.prepend(QStringLiteral("Wrong password.\n\n"));
    return prompt;
}

std::optional<std::string> QtPanels::askPassword(const std::string& deviceName, bool wrongBefore) {
    bool accepted = false;
    QString typed = QInputDialog::getText(
        QApplication::activeWindow(), QStringLiteral("Encrypted Backup"),
        passwordPrompt(deviceName, wrongBefore), QLineEdit::Password, QString(), &accepted);
    if (!accepted) return std::nullopt;
    QByteArray utf8 = typed.toUtf8();
    std::string password(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    // Qt's copies go as soon as they are no longer needed, wiped.
    utf8.fill('\0');
    typed.fill(QChar(0));
    return password;
}

bool QtPanels::askYesOrNo(const std::string& title, const std::string& question) {
    return QMessageBox::question(QApplication::activeWindow(), QString::fromStdString(title),
                                 QString::fromStdString(question)) == QMessageBox::Yes;
}

void QtPanels::openUrl(const QUrl& url) { QDesktopServices::openUrl(url); }

}  // namespace salvora
