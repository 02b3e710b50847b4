#pragma once

// Where the window was left and how its panes were sized, kept for the next starts beside the
// other settings (SavingSettings.h); a first start opens at a size that fits the screen.
#include <QRect>
#include <QSize>
#include <initializer_list>

class QSplitter;
class QWidget;

namespace salvora {

// The first size of the window on a screen whose free room is `available`: room for the three
// steps and the preview whole, with the frame and a panel of the desktop still on a 1366 x 768
// screen; less where the screen has less room, never less than the window's least size.
QSize firstWindowSize(const QRect& available, const QSize& leastSize);

// Gives the window and each splitter (by its object name) the geometry and sizes kept when it
// was last closed; a window never closed before takes its first size on the screen it is on.
void restoreWindowPlacement(QWidget& window, std::initializer_list<QSplitter*> splitters);
void saveWindowPlacement(const QWidget& window, std::initializer_list<const QSplitter*> splitters);

}  // namespace salvora
