#pragma once

// Controls made in code get an object name, for tests and styles, and an accessible name, for
// screen readers, like those of the window layout.
#include <QString>

namespace salvora {

template <typename Widget>
Widget* named(Widget* widget, const char* objectName, const QString& accessibleName) {
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setAccessibleName(accessibleName);
    return widget;
}

}  // namespace salvora
