#include "export/ExportSummary.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "foundation/Plural.h"

namespace salvora {

ExportSummary failedExport(Error error) {
    ExportSummary summary;
    summary.error = std::move(error);
    return summary;
}

void addExportPart(ExportSummary& whole, ExportSummary part) {
    for (ExportCount& count : part.counts) {
        auto same = std::find_if(whole.counts.begin(), whole.counts.end(),
                                 [&](const ExportCount& known) { return known.many == count.many; });
        if (same != whole.counts.end()) same->count += count.count;
        else whole.counts.push_back(std::move(count));
    }
    const auto append = [](auto& into, auto& from) {
        into.insert(into.end(), std::make_move_iterator(from.begin()),
                    std::make_move_iterator(from.end()));
    };
    append(whole.notInBackup, part.notInBackup);
    append(whole.failures, part.failures);
    append(whole.renamed, part.renamed);
    append(whole.warnings, part.warnings);
    if (!whole.error) whole.error = std::move(part.error);
    whole.cancelled = whole.cancelled || part.cancelled;
    if (whole.firstPage.empty()) whole.firstPage = std::move(part.firstPage);
}

std::string summaryCounts(const ExportSummary& summary) {
    std::string text;
    for (const ExportCount& count : summary.counts)
        text += counted(count.count, count.one, count.many) + ", ";
    if (!summary.notInBackup.empty())
        text += std::to_string(summary.notInBackup.size()) + " not in this backup, ";
    return text + std::to_string(summary.failures.size()) + " failed";
}

}  // namespace salvora
