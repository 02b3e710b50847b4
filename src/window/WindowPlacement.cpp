#include "window/WindowPlacement.h"

#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QWidget>

namespace salvora {
namespace {

const QString geometryKey = QStringLiteral("window/geometry");

QString splitterKey(const QSplitter& splitter) {
    return QStringLiteral("window/") + splitter.objectName();
}

// What the title bar, the borders and a desktop's panel take of the screen.
constexpr QSize frameAndPanel{40, 88};
constexpr QSize roomyFirstSize{1240, 640};

}  // namespace

QSize firstWindowSize(const QRect& available, const QSize& leastSize) {
    return roomyFirstSize.boundedTo(available.size() - frameAndPanel).expandedTo(leastSize);
}

void restoreWindowPlacement(QWidget& window, std::initializer_list<QSplitter*> splitters) {
    const QSettings settings;
    if (!window.restoreGeometry(settings.value(geometryKey).toByteArray())) {
        const QScreen* screen = window.screen();
        if (screen != nullptr)
            window.resize(firstWindowSize(screen->availableGeometry(), window.minimumSize()));
    }
    for (QSplitter* splitter : splitters)
        splitter->restoreState(settings.value(splitterKey(*splitter)).toByteArray());
}

void saveWindowPlacement(const QWidget& window, std::initializer_list<const QSplitter*> splitters) {
    QSettings settings;
    settings.setValue(geometryKey, window.saveGeometry());
    for (const QSplitter* splitter : splitters)
        settings.setValue(splitterKey(*splitter), splitter->saveState());
}

}  // namespace salvora
