#pragma once

// The names one save gives what it makes below the chosen folder. A file or folder takes the
// phone's name wherever the destination takes it; where the destination refuses the name (its
// characters or its length, told by the error of the attempt), the safe name of SafeNames.h.
// With portable names every name is made safe up front, for a folder that goes to Windows
// later. Two files the destination would hold under one name (another letter case on a drive
// that ignores it, or a safe name already given) keep apart as " (2)", " (3)"…; folders that
// come to one name are one folder. The same files give the same names on every run.
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "foundation/FileWriting.h"
#include "foundation/OpenFolder.h"
#include "recovery/SafeNames.h"

namespace salvora {

class DestinationNames {
  public:
    // `manyFiles`: the save makes more than one file, which must keep apart.
    explicit DestinationNames(bool portable = false, bool manyFiles = true)
        : portable_(portable), manyFiles_(manyFiles) {}

    // The name the file `name` is first made under in `folder`, kept from the names this save
    // gave other files there.
    std::string firstChoice(const OpenFolder& folder, const std::string& name);
    // How the file `name` is made in `folder`: dated, in the naming ways this save learnt for
    // each drive, and after each name the folder refuses, under the next safer one.
    Making making(const OpenFolder& folder, const std::string& name, ModificationTime date);

    // The name a folder level (or a file that keeps apart by other means) is first made under:
    // its own, or with portable names its safe form.
    std::string firstTried(const std::string& level) const;
    // The next name for a folder level after `refused` was refused.
    std::optional<std::string> folderAfterRefusal(const OpenFolder& parent,
                                                  const std::string& refused,
                                                  ErrorKind refusal) const;

  private:
    struct Limit {
        std::size_t units = SIZE_MAX;
        LengthUnit unit = LengthUnit::Bytes;
    };

    // The first numbered choice of `candidate`, within `limit`, that no other file of this save
    // has in the folder: the name the file `name` takes.
    std::string unclaimed(const OpenFolder& folder, const std::string& name,
                          const std::string& candidate, Limit limit);
    // The safer form of a name the folder refused: made portable, or fitted to the limit a
    // name that long breaks (which `limit` then holds); absent when there is none.
    static std::optional<std::string> saferName(const OpenFolder& folder,
                                                const std::string& refused, ErrorKind refusal,
                                                Limit& limit);
    bool foldsCase(const OpenFolder& folder);
    NextName afterRefusal(const OpenFolder& folder, const std::string& name);

    bool portable_;
    bool manyFiles_;
    NamingWays ways_;
    std::unordered_map<std::uint64_t, bool> foldsCase_;  // by device
    // Who has each name given in a folder: the hash of the folder's path and the name's key,
    // to the hash of the phone's name. Names as they are on a drive that tells letter case
    // apart are left out unless renamed: nothing else can take them.
    std::unordered_map<std::uint64_t, std::uint64_t> claimed_;
};

}  // namespace salvora
