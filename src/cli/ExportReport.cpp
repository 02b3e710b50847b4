#include "cli/ExportReport.h"

#include "cli/Cli.h"
#include "cli/FailureReport.h"

namespace salvora::cli {

int reportExport(const CommandContext& context, const ExportSummary& summary) {
    for (const std::string& warning : summary.warnings) context.complain(warning);
    if (summary.error) return usageFailure(context, *summary.error);
    const std::size_t failed = complainOfFailures(context, summary.failures);
    complainOfFailures(context, summary.renamed);
    for (const std::string& name : summary.notInBackup)
        context.out << "Not in this backup: " << name << '\n';
    context.out << "Exported " << summaryCounts(summary) << '\n';
    return failed == 0 && !summary.cancelled ? Success : SomeFilesFailed;
}

}  // namespace salvora::cli
