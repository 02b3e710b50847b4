#include "window/SavingSettings.h"

#include <QSettings>

namespace salvora {
namespace {

const QString portableNamesKey = QStringLiteral("portableFileNames");

}  // namespace

bool portableNamesChosen() { return QSettings().value(portableNamesKey, false).toBool(); }

void choosePortableNames(bool portable) { QSettings().setValue(portableNamesKey, portable); }

}  // namespace salvora
