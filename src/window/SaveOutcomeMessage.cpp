#include "window/SaveOutcomeMessage.h"

#include <algorithm>

#include "foundation/Plural.h"

namespace salvora {
namespace {

// " (2 saved with a length other than recorded)", or nothing when every length was.
std::string lengthNote(const std::vector<FileOutcome>& outcomes) {
    const auto count = static_cast<std::size_t>(std::count_if(
        outcomes.begin(), outcomes.end(),
        [](const FileOutcome& outcome) { return !outcome.error && outcome.warning.has_value(); }));
    if (count == 0) return "";
    return " (" + std::to_string(count) + " saved with a length other than recorded)";
}

// " (3 renamed)", or nothing when every file kept its name.
std::string renamedNote(const std::vector<FileOutcome>& outcomes) {
    const std::size_t count = renamedFiles(outcomes).size();
    if (count == 0) return "";
    return " (" + std::to_string(count) + " renamed)";
}

}  // namespace

std::vector<FileOutcome> renamedFiles(const std::vector<FileOutcome>& outcomes) {
    std::vector<FileOutcome> renamed;
    std::copy_if(outcomes.begin(), outcomes.end(), std::back_inserter(renamed),
                 [](const FileOutcome& outcome) { return outcome.savedAs.has_value(); });
    return renamed;
}

std::string saveAllMessage(const std::vector<FileOutcome>& outcomes,
                           const std::string& destination) {
    if (outcomes.empty()) return "No files to save.";
    const auto hasFailed = [](const FileOutcome& outcome) { return outcome.error.has_value(); };
    const auto firstFailure = std::find_if(outcomes.begin(), outcomes.end(), hasFailed);
    if (firstFailure == outcomes.end())
        return "Saved " + counted(outcomes.size(), "file", "files") + " to " + destination +
               lengthNote(outcomes) + renamedNote(outcomes) + ".";
    const auto failed =
        static_cast<std::size_t>(std::count_if(firstFailure, outcomes.end(), hasFailed));
    return "Saved " + std::to_string(outcomes.size() - failed) + " of " +
           counted(outcomes.size(), "file", "files") + " to " + destination + lengthNote(outcomes) +
           renamedNote(outcomes) + "; " + std::to_string(failed) +
           " failed. First: " + firstFailure->error->description();
}

std::string cancelledSaveMessage(std::size_t attempted, std::size_t total) {
    return "Cancelled after " + std::to_string(attempted) + " of " +
           counted(total, "file", "files") + ".";
}

std::string saveFileMessage(const FileOutcome& outcome) {
    if (outcome.error) return "Not saved: " + outcome.error->description();
    const std::string saved = "Saved to " + outcome.savedAs.value_or(outcome.target);
    const std::string renamed = outcome.savedAs ? ", a safe name for " + outcome.target : "";
    if (outcome.warning) return saved + renamed + "; " + outcome.warning->description() + ".";
    return saved + renamed + ".";
}

}  // namespace salvora
