#include "export/ExportSummary.h"

#include "foundation/Plural.h"

namespace salvora {

std::string summaryCounts(const ExportSummary& summary) {
    std::string text;
    for (const ExportCount& count : summary.counts)
        text += counted(count.count, count.one, count.many) + ", ";
    if (!summary.notInBackup.empty())
        text += std::to_string(summary.notInBackup.size()) + " not in this backup, ";
    return text + std::to_string(summary.failures.size()) + " failed";
}

}  // namespace salvora
