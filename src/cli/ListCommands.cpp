#include "cli/ListCommands.h"

#include <nlohmann/json.hpp>

#include "cli/Cli.h"
#include "cli/OpenedBackup.h"
#include "crypto/BackupEncryption.h"
#include "discovery/Discovery.h"

namespace salvora::cli {
namespace {

using nlohmann::json;

json stringOrNull(const std::optional<std::string>& value) {
    return value ? json(*value) : json(nullptr);
}

// Names come from backups and may hold bytes that are not UTF-8; they are shown replaced
// rather than stopping the listing.
void printJson(std::ostream& out, const json& value) {
    out << value.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
}

void printFiles(std::ostream& out, Format format, const ApplicationRecord& application,
                json& list) {
    for (const FileRecord& file : application.files) {
        if (format == Format::Json) {
            list.push_back({{"application", application.name},
                            {DeviceApplicationFileRealName, stringOrNull(file.fullpath)},
                            {DeviceApplicationFileName, file.name},
                            {DeviceApplicationOldVersion, file.isOldVersion()}});
        } else {
            out << application.name << '\t' << file.fullpath.value_or("") << '\t' << file.name
                << '\n';
        }
    }
}

std::string_view applicationKindName(ApplicationKind kind) {
    switch (kind) {
        case ApplicationKind::App:
            return "app";
        case ApplicationKind::Group:
            return "group";
        case ApplicationKind::Plugin:
            return "plugin";
        case ApplicationKind::System:
            return "system";
        case ApplicationKind::Domain:
            return "domain";
    }
    return {};
}

}  // namespace

int listDevices(const CommandContext& context, Format format) {
    json list = json::array();
    std::size_t index = 0;
    for (const auto& device : scanBackupRoots()) {
        ++index;
        if (format == Format::Json) {
            list.push_back({{"index", index},
                            {DeviceName, stringOrNull(device->name)},
                            {DeviceDate, stringOrNull(device->date)},
                            {DeviceDirectory, device->directory},
                            {"encrypted", judgeBackupProtection(device->directory).isEncrypted()}});
            continue;
        }
        // As the device table shows it.
        context.out << index << '\t' << deviceDisplayText(*device) << '\t'
                    << device->date.value_or("") << '\t' << device->directory << '\n';
    }
    if (format == Format::Json) printJson(context.out, list);
    return Success;
}

int listApplications(const CommandContext& context, const std::string& backup, Format format) {
    auto opened = openBackup(context, backup);
    if (!opened) return UsageError;
    json list = json::array();
    for (const auto& application : opened->applications) {
        const std::string display = opened->displayText(*application);
        const std::size_t count = application->files.size();
        if (format == Format::Json) {
            json entry = {{"name", application->name}, {"displayName", display}, {"files", count}};
            if (application->kind) {
                entry["kind"] = applicationKindName(*application->kind);
                entry["domains"] = application->domains;
            }
            list.push_back(std::move(entry));
        } else {
            context.out << application->name << '\t' << display << '\t' << count << '\n';
        }
    }
    if (format == Format::Json) printJson(context.out, list);
    return Success;
}

int listFiles(const CommandContext& context, const std::string& backup,
              const std::optional<std::string>& application, Format format) {
    auto opened = openBackup(context, backup);
    if (!opened) return UsageError;
    json list = json::array();
    if (application) {
        const ApplicationRecord* record = opened->findApplication(context, *application);
        if (record == nullptr) return UsageError;
        printFiles(context.out, format, *record, list);
    } else {
        for (const auto& record : opened->applications)
            printFiles(context.out, format, *record, list);
    }
    if (format == Format::Json) printJson(context.out, list);
    return Success;
}

}  // namespace salvora::cli
