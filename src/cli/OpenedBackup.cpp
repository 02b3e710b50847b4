#include "cli/OpenedBackup.h"

#include <charconv>

#include "cli/ProgressLine.h"
#include "discovery/Discovery.h"
#include "foundation/AsciiCase.h"
#include "foundation/FileQueries.h"
#include "foundation/Path.h"

namespace salvora::cli {
namespace {

std::optional<std::size_t> wholeNumber(const std::string& text) {
    std::size_t number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

// Asks for the password and unlocks the backup with it.
Status unlock(const CommandContext& context, Catalog& catalog, const std::string& directory) {
    Password password;
    if (Status read = readPassword(context, directory, password); !read) return read;
    // The key derivation takes seconds on a real keybag.
    ProgressLine progress(context.err, context.showProgress);
    progress.show("Unlocking the backup...");
    return catalog.unlockBackup(directory, password.text());
}

}  // namespace

Result<const ApplicationRecord*> OpenedBackup::findApplication(const std::string& name) const {
    if (device->applications) {
        auto found = device->applications->find(name);
        if (found != device->applications->end()) return found->second.get();
    }
    // The name as shown, else in any letter case: "notes" still finds "Notes".
    std::vector<const ApplicationRecord*> shownSo;
    for (const auto& application : applications)
        if (displayText(*application) == name) shownSo.push_back(application.get());
    if (shownSo.empty())
        for (const auto& application : applications)
            if (equalsIgnoringAsciiCase(displayText(*application), name))
                shownSo.push_back(application.get());
    if (shownSo.size() == 1) return shownSo.front();
    if (shownSo.empty()) return commandError("no application \"" + name + "\" in this backup");
    std::string names;
    for (const ApplicationRecord* application : shownSo)
        names += (names.empty() ? "" : ", ") + application->name;
    return commandError("several applications are shown as \"" + name + "\" (" + names +
                        "); give one of their names");
}

std::string OpenedBackup::displayText(const ApplicationRecord& application) const {
    return applicationDisplayText(application, catalog.translationNames());
}

Result<std::shared_ptr<DeviceRecord>> deviceNamedBy(const std::string& argument) {
    // A folder named directly is read as the scan reads one: its Info.plist names the device.
    if (isDirectory(argument)) {
        DeviceList named;
        extractBackup(lastPathComponent(argument), named, deletingLastPathComponent(argument));
        if (named.empty()) named.push_back(std::make_shared<DeviceRecord>());
        named.front()->directory = argument;
        return named.front();
    }
    auto number = wholeNumber(argument);
    if (!number) return commandError("no backup folder \"" + argument + "\"");
    DeviceList devices = scanBackupRoots();
    if (*number == 0 || *number > devices.size())
        return commandError("no device number " + argument + " (there are " +
                            std::to_string(devices.size()) +
                            "; \"salvora-cli devices\" lists them)");
    return devices[*number - 1];
}

Result<OpenedBackup> openBackup(const CommandContext& context, const std::string& argument) {
    auto device = deviceNamedBy(argument);
    if (!device) return device.error();
    OpenedBackup backup{*device, {}, {}};
    Result<ApplicationList> build = backup.catalog.buildCatalog(**device);
    if (!build && build.error().kind == ErrorKind::NeedsPassword) {
        Status unlocked = unlock(context, backup.catalog, (*device)->directory);
        if (!unlocked) return unlocked.error();
        build = backup.catalog.buildCatalog(**device);
    }
    if (!build) return build.error();
    backup.applications = std::move(*build);
    return backup;
}

}  // namespace salvora::cli
