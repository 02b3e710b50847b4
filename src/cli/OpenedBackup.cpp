#include "cli/OpenedBackup.h"

#include <charconv>

#include "cli/ProgressLine.h"
#include "discovery/Discovery.h"
#include "foundation/FileQueries.h"

namespace salvora::cli {
namespace {

std::optional<std::size_t> wholeNumber(const std::string& text) {
    std::size_t number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

// Asks for the password and unlocks the backup with it; false after telling the user why not.
[[nodiscard]] bool unlock(const CommandContext& context, Catalog& catalog,
                          const std::string& directory) {
    Status unlocked;
    {
        Password password;
        if (!readPassword(context, directory, password)) return false;
        // The key derivation takes seconds on a real keybag.
        ProgressLine progress(context.err, context.showProgress);
        progress.show("Unlocking the backup...");
        unlocked = catalog.unlockBackup(directory, password.text());
    }
    if (unlocked) return true;
    const Error& error = unlocked.error();
    context.complain(error.kind == ErrorKind::WrongPassword ? std::string(WrongPassword)
                                                            : error.description());
    return false;
}

}  // namespace

const ApplicationRecord* OpenedBackup::findApplication(const CommandContext& context,
                                                       const std::string& name) const {
    if (device->applications) {
        auto found = device->applications->find(name);
        if (found != device->applications->end()) return found->second.get();
    }
    std::vector<const ApplicationRecord*> shownSo;
    for (const auto& application : applications) {
        if (displayText(*application) == name) shownSo.push_back(application.get());
    }
    if (shownSo.size() == 1) return shownSo.front();
    if (shownSo.empty()) {
        context.complain("no application \"" + name + "\" in this backup");
    } else {
        std::string names;
        for (const ApplicationRecord* application : shownSo)
            names += (names.empty() ? "" : ", ") + application->name;
        context.complain("several applications are shown as \"" + name + "\" (" + names +
                         "); give one of their names");
    }
    return nullptr;
}

std::string OpenedBackup::displayText(const ApplicationRecord& application) const {
    return applicationDisplayText(application, catalog.translationNames());
}

std::shared_ptr<DeviceRecord> deviceNamedBy(const CommandContext& context,
                                            const std::string& argument) {
    if (isDirectory(argument)) {
        auto device = std::make_shared<DeviceRecord>();
        device->directory = argument;
        return device;
    }
    auto number = wholeNumber(argument);
    if (!number) {
        context.complain("no backup folder \"" + argument + "\"");
        return nullptr;
    }
    DeviceList devices = scanBackupRoots();
    if (*number == 0 || *number > devices.size()) {
        context.complain("no device number " + argument + " (there are " +
                         std::to_string(devices.size()) + "; \"salvora-cli devices\" lists them)");
        return nullptr;
    }
    return devices[*number - 1];
}

std::optional<OpenedBackup> openBackup(const CommandContext& context, const std::string& argument) {
    auto device = deviceNamedBy(context, argument);
    if (!device) return std::nullopt;
    OpenedBackup backup{device, {}, {}};
    Result<ApplicationList> build = backup.catalog.buildCatalog(*device);
    if (!build && build.error().kind == ErrorKind::NeedsPassword) {
        if (!unlock(context, backup.catalog, device->directory)) return std::nullopt;
        build = backup.catalog.buildCatalog(*device);
    }
    if (!build) {
        context.complain(build.error().description());
        return std::nullopt;
    }
    backup.applications = std::move(*build);
    return backup;
}

}  // namespace salvora::cli
