#include "cli/SummaryCommand.h"

#include <algorithm>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>

#include "cli/Cli.h"
#include "cli/OpenedBackup.h"
#include "discovery/Discovery.h"
#include "foundation/Log.h"
#include "sources/summary/BackupSummary.h"

namespace salvora::cli {
namespace {

using nlohmann::json;

struct SummaryRequest {
    std::string backup;
    bool json = false;
};

json valueOrNull(const std::optional<std::string>& value) {
    return value ? json(*value) : json(nullptr);
}

json heldJson(const HeldCount& count) {
    json entry = {{"held", count.held}};
    for (const Tally& tally : count.tallies) entry[std::string(tally.many)] = tally.count;
    if (count.problem) entry["problem"] = *count.problem;
    return entry;
}

// "Label:" padded so the values line up.
std::string label(std::string_view text) {
    std::string padded = std::string(text) + ":";
    padded.resize(std::max<std::size_t>(padded.size() + 1, 19), ' ');
    return padded;
}

int printSummary(const CommandContext& context, const SummaryRequest& request) {
    auto opened = openBackup(context, request.backup);
    if (!opened) return UsageError;
    const DeviceRecord& device = *opened->device;
    const BackupFacts facts = backupFacts(device, opened->applications.size());
    const std::optional<std::uint64_t> size = backupSizeOnDisk(device.directory);
    static const ApplicationMap none;
    const SummarySource source{device.directory, device.applications ? *device.applications : none,
                               opened->keybag()};
    // A database that can't be read is told in its entry, not in log lines.
    LogSilence silence;
    if (request.json) {
        json exportable = json::object();
        for (const ExportableKind& kind : exportableKinds())
            exportable[std::string(kind.key)] = heldJson(kind.count(source));
        const json summary = {{"name", valueOrNull(facts.name)},
                              {"model", valueOrNull(facts.model)},
                              {"iosVersion", valueOrNull(facts.iosVersion)},
                              {"date", valueOrNull(facts.date)},
                              {"encrypted", facts.encrypted},
                              {"sizeOnDisk", size ? json(*size) : json(nullptr)},
                              {"applications", facts.applications},
                              {"files", facts.files},
                              {"exportable", exportable}};
        context.out << summary.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
        return Success;
    }
    context.out << label("Device") << deviceDisplayText(device) << '\n'
                << label("Model") << facts.model.value_or("unknown") << '\n'
                << label("iOS") << facts.iosVersion.value_or("unknown") << '\n'
                << label("Backup date") << facts.date.value_or("unknown") << '\n'
                << label("Encrypted") << (facts.encrypted ? "yes" : "no") << '\n'
                << label("Size on disk") << (size ? byteSizeText(*size) : "unknown") << '\n'
                << label("Applications") << facts.applications << '\n'
                << label("Files") << facts.files << '\n';
    for (const ExportableKind& kind : exportableKinds())
        context.out << label(kind.title) << heldText(kind.count(source)) << '\n';
    return Success;
}

}  // namespace

void addSummaryCommand(CLI::App& app, BackupOperand& operand, ChosenCommand& chosen) {
    auto request = std::make_shared<SummaryRequest>();
    CLI::App* command = app.add_subcommand(
        "summary", "Tell what a backup is and what can be exported from it, counted");
    addBackup(command, operand);
    command->add_flag("--json", request->json, "Print JSON instead of lines for people");
    command->callback([request, &operand, &chosen] {
        request->backup = operand.backup;
        chosen = [request](const CommandContext& context) {
            return printSummary(context, *request);
        };
    });
}

}  // namespace salvora::cli
