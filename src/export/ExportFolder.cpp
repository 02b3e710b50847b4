#include "export/ExportFolder.h"

#include <filesystem>
#include <span>
#include <system_error>

#include "foundation/FileReading.h"
#include "foundation/FileWriting.h"
#include "foundation/FolderCreation.h"

namespace salvora {
namespace {

namespace fs = std::filesystem;

// The hidden folders of an export in progress: the new one being written, and the earlier one
// while it is being put aside.
constexpr std::string_view newExportName = ".salvora-export-new";
constexpr std::string_view earlierExportName = ".salvora-export-earlier";

bool isExportBookkeeping(const std::string& name) {
    return name == exportMarkerName || name == newExportName || name == earlierExportName;
}

// What the marker of `folder` names, absent when it has none.
std::optional<std::string> markedKind(const fs::path& folder) {
    Result<FileBytes> marker = readFile((folder / exportMarkerName).string());
    if (!marker) return std::nullopt;
    const std::span<const std::byte> bytes = marker->bytes();
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// Hands `each` the folder's entries until it answers false; the error the listing met, if any.
// A range-for would throw it from its increment.
template <typename Each>
std::error_code forEachEntry(const fs::path& folder, Each each) {
    std::error_code code;
    for (fs::directory_iterator entry(folder, code), end; !code && entry != end;
         entry.increment(code))
        if (!each(*entry)) break;
    return code;
}

// Why `folder` may not take an export of `kind`; absent when it may.
std::optional<std::string> refusal(const fs::path& folder, std::string_view kind) {
    const std::optional<std::string> marked = markedKind(folder);
    if (marked && *marked == kind) return std::nullopt;
    if (marked) return "it holds an export of " + *marked + "; choose another folder";
    bool foreign = false;
    const std::error_code code = forEachEntry(folder, [&](const fs::directory_entry& entry) {
        foreign = !isExportBookkeeping(entry.path().filename().string());
        return !foreign;
    });
    if (foreign) return "it is not empty and holds no earlier export; choose an empty folder";
    if (code) return code.message();
    return std::nullopt;
}

Status removeTree(const fs::path& path) {
    std::error_code code;
    fs::remove_all(path, code);
    if (code) return Error::fromCode("Could not remove", path.string(), code);
    return {};
}

Status moveEntry(const fs::path& from, const fs::path& to) {
    std::error_code code;
    fs::rename(from, to, code);
    if (code) return Error::fromCode("Could not move \"" + from.string() + "\" to", to.string(), code);
    return {};
}

// Moves every entry of `from` but the export's own bookkeeping into `to`.
Status moveEntries(const fs::path& from, const fs::path& to) {
    Status moved;
    const std::error_code code = forEachEntry(from, [&](const fs::directory_entry& entry) {
        const std::string name = entry.path().filename().string();
        if (!isExportBookkeeping(name)) moved = moveEntry(entry.path(), to / name);
        return moved.ok();
    });
    if (!moved) return moved;
    if (code) return Error::fromCode("Could not list folder", from.string(), code);
    return {};
}

}  // namespace

Result<ExportFolder> ExportFolder::begin(const std::string& destination, std::string_view kind) {
    if (Status made = createDirectoryWithIntermediates(destination); !made) return made.error();
    if (std::optional<std::string> why = refusal(destination, kind))
        return Error{"Could not export into", destination, *why};
    const fs::path staging = fs::path(destination) / newExportName;
    // What a cancelled or killed export left.
    if (Status removed = removeTree(staging); !removed) return removed.error();
    if (Status removed = removeTree(fs::path(destination) / earlierExportName); !removed)
        return removed.error();
    Result<OpenFolder> root = openFolder(destination);
    if (!root) return root.error();
    Result<OpenFolder> folder = openFolderIn(*root, newExportName, CreateMissing::Yes);
    if (!folder) return folder.error();
    return ExportFolder(destination, std::string(kind), std::move(*folder));
}

ExportFolder::ExportFolder(std::string destination, std::string kind, OpenFolder staging)
    : destination_(std::move(destination)), kind_(std::move(kind)), staging_(std::move(staging)) {}

ExportFolder::ExportFolder(ExportFolder&& other) noexcept
    : destination_(std::move(other.destination_)),
      kind_(std::move(other.kind_)),
      staging_(std::move(other.staging_)),
      committed_(other.committed_) {
    other.committed_ = true;  // the moved-from folder removes nothing
}

ExportFolder::~ExportFolder() {
    if (!committed_) (void)removeTree(fs::path(destination_) / newExportName);
}

Status ExportFolder::commit() {
    const fs::path root(destination_);
    const fs::path earlier = root / earlierExportName;
    std::error_code code;
    fs::create_directory(earlier, code);
    if (code) return Error::fromCode("Could not create folder", earlier.string(), code);
    if (Status moved = moveEntries(root, earlier); !moved) return moved;
    if (Status moved = moveEntries(root / newExportName, root); !moved) return moved;
    Result<OpenFolder> folder = openFolder(destination_);
    if (!folder) return folder.error();
    if (Status marked = writeAtomically(std::as_bytes(std::span(kind_)), *folder,
                                        exportMarkerName);
        !marked)
        return marked;
    committed_ = true;
    (void)removeTree(root / newExportName);
    return removeTree(earlier);
}

}  // namespace salvora
