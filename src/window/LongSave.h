#pragma once

// Long saves off the event thread, behind a progress dialog, so the window never freezes.
#include <QString>
#include <functional>

#include "recovery/Recovery.h"

class QWidget;

namespace salvora {

// A save that reports through the progress it is given, before each file and after the last,
// and stops before the next file when that progress answers false.
using LongSaveJob = std::function<void(const SaveProgress& progress)>;

// Runs the job on a thread of its own behind a dialog over `parent` (files and bytes done, the
// file being saved, Cancel), and returns once it has ended: true when the user cancelled it.
// Meanwhile the event thread handles every event; the dialog keeps the window from starting
// another save.
bool runLongSave(QWidget* parent, const QString& title, const LongSaveJob& job);

}  // namespace salvora
