#pragma once

// How the exporting commands end: what was left out and why on standard error, the files the
// backup lacks and the counts on standard output, and the exit status that says it.
#include "cli/CommandContext.h"
#include "export/ExportSummary.h"

namespace salvora::cli {

// Success when everything was exported; SomeFilesFailed when some files failed or the export was
// cancelled; UsageError when nothing was exported (the summary's error says why).
int reportExport(const CommandContext& context, const ExportSummary& summary);

}  // namespace salvora::cli
