#include "window/DeviceDetails.h"

#include <QPainter>
#include <QPixmap>

#include "crypto/BackupEncryption.h"

namespace salvora {

bool isEncryptedBackup(const DeviceRecord& device) {
    return judgeBackupProtection(device.directory).isEncrypted();
}

QIcon lockIcon() {
    constexpr int size = 16;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour(0x55, 0x55, 0x55);
    painter.setPen(QPen(colour, 2));
    painter.drawArc(QRectF(4, 1.5, 8, 9), 0, 180 * 16);
    painter.drawLine(QPointF(4, 6), QPointF(4, 8));
    painter.drawLine(QPointF(12, 6), QPointF(12, 8));
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(2, 7.5, 12, 8), 1.5, 1.5);
    return QIcon(pixmap);
}

}  // namespace salvora
