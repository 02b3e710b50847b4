#include "recovery/DestinationNames.h"

#include <functional>

#include "foundation/DriveTraits.h"

namespace salvora {
namespace {

// Beyond this many " (N)" names for one file, something else is wrong with the folder.
constexpr unsigned mostNumberedNames = 10000;

// The longest name NTFS and exFAT take, in UTF-16 units.
constexpr std::size_t longestWindowsName = 255;

std::uint64_t hashOf(std::string_view text) { return std::hash<std::string_view>{}(text); }

}  // namespace

bool DestinationNames::foldsCase(const OpenFolder& folder) {
    if (portable_) return true;
    const std::uint64_t device = folderDevice(folder.descriptor());
    auto known = foldsCase_.find(device);
    if (known == foldsCase_.end())
        known = foldsCase_.emplace(device, foldsLetterCase(folder)).first;
    return known->second;
}

std::string DestinationNames::unclaimed(const OpenFolder& folder, const std::string& name,
                                        const std::string& candidate, Limit limit) {
    if (!manyFiles_) return candidate;
    const bool folds = foldsCase(folder);
    // The common case, a drive that takes every name as it is: nothing to keep apart.
    if (!folds && candidate == name && claimed_.empty()) return candidate;
    const std::uint64_t owner = hashOf(name);
    for (unsigned number = 1; number <= mostNumberedNames; ++number) {
        const std::string numbered = numberedName(candidate, number, limit.units, limit.unit);
        const std::string key = folder.path() + '\0' + (folds ? letterCaseKey(numbered) : numbered);
        auto claim = claimed_.find(hashOf(key));
        if (claim != claimed_.end() && claim->second != owner) continue;
        if (folds || numbered != name) claimed_.emplace(hashOf(key), owner);
        return numbered;
    }
    return candidate;
}

std::string DestinationNames::firstChoice(const OpenFolder& folder, const std::string& name) {
    if (!portable_) return unclaimed(folder, name, name, {});
    return unclaimed(folder, name, nameForEverySystem(name),
                     {portableNameLength, LengthUnit::Bytes});
}

std::optional<std::string> DestinationNames::saferName(const OpenFolder& folder,
                                                       const std::string& refused,
                                                       ErrorKind refusal, Limit& limit) {
    if (refusal != ErrorKind::NameTooLong) {
        std::string portable = portableName(refused);
        if (portable == refused) return std::nullopt;
        return portable;
    }
    // NTFS and exFAT count UTF-16 units; other file systems the bytes they say.
    if (nameLength(refused, LengthUnit::Utf16) > longestWindowsName)
        limit = {longestWindowsName, LengthUnit::Utf16};
    else if (refused.size() > longestName(folder))
        limit = {longestName(folder), LengthUnit::Bytes};
    else
        return std::nullopt;
    return fittedName(refused, limit.units, limit.unit);
}

NextName DestinationNames::afterRefusal(const OpenFolder& folder, const std::string& name) {
    // The limit a name was fitted to holds for the numbered names after it.
    return [this, &folder, name, limit = Limit{}](const std::string& refused,
                                                  ErrorKind refusal) mutable {
        auto safer = saferName(folder, refused, refusal, limit);
        if (safer) safer = unclaimed(folder, name, *safer, limit);
        return safer;
    };
}

Making DestinationNames::making(const OpenFolder& folder, const std::string& name,
                                ModificationTime date) {
    return Making{date, &ways_, afterRefusal(folder, name)};
}

std::string DestinationNames::firstTried(const std::string& level) const {
    return portable_ ? nameForEverySystem(level) : level;
}

std::optional<std::string> DestinationNames::folderAfterRefusal(const OpenFolder& parent,
                                                                const std::string& refused,
                                                                ErrorKind refusal) const {
    Limit limit;
    return saferName(parent, refused, refusal, limit);
}

}  // namespace salvora
