#include "window/ApplicationRowLook.h"

#include <QPainter>
#include <QPixmap>

#include "foundation/Plural.h"

namespace salvora {
namespace {

// Every icon has one size, so that the names beside them line up.
constexpr int iconSize = 32;

// A light rounded square, where the backup has no icon of the application.
QIcon genericApplicationIcon() {
    static const QIcon icon = [] {
        QPixmap pixmap(iconSize, iconSize);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QColor(160, 160, 160));
        painter.setBrush(QColor(228, 228, 228));
        painter.drawRoundedRect(QRectF(2.5, 2.5, 27, 27), 7, 7);
        return QIcon(pixmap);
    }();
    return icon;
}

}  // namespace

void ApplicationRowLook::forget() {
    icons_.reset();
    decoded_.clear();
}

QVariant ApplicationRowLook::value(const ApplicationRecord& application,
                                   const std::string& directory, int role) {
    if (role == Qt::ToolTipRole) return applicationToolTip(application);
    // The older layouts show their rows as they always have.
    if (role == Qt::DecorationRole && application.kind) return iconOf(application, directory);
    return {};
}

QIcon ApplicationRowLook::iconOf(const ApplicationRecord& application,
                                 const std::string& directory) {
    const QString name = QString::fromStdString(application.name);
    if (auto found = decoded_.constFind(name); found != decoded_.constEnd()) return *found;
    if (!icons_) icons_ = readApplicationIcons(directory);
    QIcon icon = genericApplicationIcon();
    if (auto bytes = icons_->find(application.name); bytes != icons_->end()) {
        QPixmap pixmap;
        if (pixmap.loadFromData(reinterpret_cast<const uchar*>(bytes->second.data()),
                                static_cast<uint>(bytes->second.size())))
            icon = QIcon(
                pixmap.scaled(iconSize, iconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    decoded_.insert(name, icon);
    return icon;
}

QString applicationToolTip(const ApplicationRecord& application) {
    return QString::fromStdString(application.name + "\n" +
                                  counted(application.files.size(), "file", "files"));
}

}  // namespace salvora
