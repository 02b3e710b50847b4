#include "window/SaveOutcomeMessage.h"

#include <algorithm>

namespace salvora {
namespace {

std::string filesText(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " file" : " files");
}

}  // namespace

std::string saveAllMessage(const std::vector<FileOutcome>& outcomes,
                           const std::string& destination) {
    if (outcomes.empty()) return "No files to save.";
    const auto hasFailed = [](const FileOutcome& outcome) { return outcome.error.has_value(); };
    const auto firstFailure = std::find_if(outcomes.begin(), outcomes.end(), hasFailed);
    if (firstFailure == outcomes.end())
        return "Saved " + filesText(outcomes.size()) + " to " + destination + ".";
    const auto failed =
        static_cast<std::size_t>(std::count_if(firstFailure, outcomes.end(), hasFailed));
    return "Saved " + std::to_string(outcomes.size() - failed) + " of " +
           filesText(outcomes.size()) + " to " + destination + "; " + std::to_string(failed) +
           " failed. First: " + firstFailure->error->description();
}

std::string cancelledSaveMessage(std::size_t attempted, std::size_t total) {
    return "Cancelled after " + std::to_string(attempted) + " of " + filesText(total) + ".";
}

std::string saveFileMessage(const FileOutcome& outcome) {
    if (outcome.error) return "Not saved: " + outcome.error->description();
    return "Saved to " + outcome.target + ".";
}

}  // namespace salvora
