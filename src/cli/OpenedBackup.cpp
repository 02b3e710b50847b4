#include "cli/OpenedBackup.h"

#include <charconv>

#include "discovery/Discovery.h"
#include "foundation/FileManager.h"

namespace salvora::cli {
namespace {

std::optional<std::size_t> wholeNumber(const std::string& text) {
    std::size_t number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

}  // namespace

const ApplicationRecord* OpenedBackup::findApplication(const CommandContext& context,
                                                       const std::string& name) const {
    if (device->applications) {
        auto found = device->applications->find(name);
        if (found != device->applications->end()) return found->second.get();
    }
    context.complain("no application \"" + name + "\" in this backup");
    return nullptr;
}

std::string OpenedBackup::displayText(const ApplicationRecord& application) const {
    return applicationDisplayText(application, catalog.translationNames());
}

std::shared_ptr<DeviceRecord> deviceNamedBy(const std::string& argument, std::string& problem) {
    if (isDirectory(argument)) {
        auto device = std::make_shared<DeviceRecord>();
        device->directory = argument;
        return device;
    }
    auto number = wholeNumber(argument);
    if (!number) {
        problem = "no backup folder \"" + argument + "\"";
        return nullptr;
    }
    DeviceList devices = scanBackupRoots();
    if (*number == 0 || *number > devices.size()) {
        problem = "no device number " + argument + " (there are " + std::to_string(devices.size()) +
                  "; \"salvora-cli devices\" lists them)";
        return nullptr;
    }
    return devices[*number - 1];
}

std::optional<OpenedBackup> openBackup(const CommandContext& context, const std::string& argument) {
    std::string problem;
    auto device = deviceNamedBy(argument, problem);
    if (!device) {
        context.complain(problem);
        return std::nullopt;
    }
    OpenedBackup backup{device, {}, {}};
    backup.applications = backup.catalog.buildCatalogForDevice(*device);
    return backup;
}

}  // namespace salvora::cli
