#pragma once

// The folder an export is written into. A new export is written beside the earlier one, in a
// hidden folder inside the destination, and takes its place only once complete: a cancelled or
// failed export leaves the earlier one as it was, and no export is ever appended to another.
// A destination is taken when it is missing, empty, or holds an earlier export of the same kind
// (marked by the file ".salvora-export"); anything else is refused, so that nothing of the
// user's is replaced.
#include <optional>
#include <string>
#include <string_view>

#include "foundation/Error.h"
#include "foundation/OpenFolder.h"

namespace salvora {

// The name of the file that marks a folder as an export, holding the export's kind.
inline constexpr std::string_view exportMarkerName = ".salvora-export";

class ExportFolder {
  public:
    // Opens `destination` for a new export of `kind` ("messages", "contacts"…), making it
    // when missing.
    static Result<ExportFolder> begin(const std::string& destination, std::string_view kind);

    ExportFolder(ExportFolder&& other) noexcept;
    ExportFolder& operator=(ExportFolder&&) = delete;
    // An export not committed is removed, the earlier one left in place.
    ~ExportFolder();

    // Where the new export is written until commit(): every file goes below it.
    const OpenFolder& folder() const { return *staging_; }
    // Its path, and the path a written entry will have once committed, for messages.
    const std::string& path() const { return staging_->path(); }
    const std::string& destination() const { return destination_; }

    // Puts the new export in the earlier one's place: afterwards the destination holds exactly
    // what was written below folder(), and the marker.
    Status commit();

  private:
    ExportFolder(std::string destination, std::string kind, OpenFolder staging);

    std::string destination_;
    std::string kind_;
    std::optional<OpenFolder> staging_;
    bool committed_ = false;
};

}  // namespace salvora
