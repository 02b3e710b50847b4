#include "recovery/StoredDatabase.h"

#include "catalog/StoredFileLookup.h"
#include "foundation/FileReading.h"
#include "foundation/Path.h"
#include "recovery/StoredFile.h"
#include "sqlite/ServedDatabase.h"

namespace salvora {
namespace {

bool isEncrypted(const FileRecord& file, const UnlockedKeybag* keybag) {
    return keybag != nullptr && file.encryptionKey();
}

// The main file: decrypted into memory, or else read where it lies.
Result<ServedFile> servedMainFile(HeldFolders& backupFolders, const FileRecord& file,
                                  const UnlockedKeybag* keybag) {
    if (file.isOldVersion() || isEncrypted(file, keybag)) {
        auto contents = readStoredContents(backupFolders, file, keybag);
        if (!contents) return contents.error();
        return ServedFile(std::move(*contents));
    }
    auto stored = openStoredFile(backupFolders, file.name());
    if (!stored) return stored.error();
    auto input = openForReading(stored->folder, stored->name);
    if (!input) return input.error();
    return ServedFile::inPlace(std::move(*input), stored->folder.pathOf(stored->name));
}

std::string storedPath(HeldFolders& backupFolders, const FileRecord& file) {
    return appendingPathComponent(backupFolders.base(), file.name());
}

// The database as the user knows it: its path on the phone, else its stored name.
std::string shownName(const FileRecord& file) {
    return file.fullpath() ? std::string(*file.fullpath()) : file.name();
}

}  // namespace

Result<StoredDatabase> openStoredDatabase(HeldFolders& backupFolders, const FileRecord& file,
                                          const FileRecord* wal, const UnlockedKeybag* keybag) {
    auto main = servedMainFile(backupFolders, file, keybag);
    if (!main) return main.error();
    std::shared_ptr<const ServedFile> log;
    std::optional<std::string> warning;
    if (wal != nullptr) {
        if (auto contents = readStoredContents(backupFolders, *wal, keybag))
            log = std::make_shared<const ServedFile>(std::move(*contents));
        else
            warning = "Left out the log of \"" + shownName(file) +
                      "\": " + contents.error().description();
    }
    auto opened =
        openServedDatabase(std::make_shared<const ServedFile>(std::move(*main)), std::move(log));
    if (!opened) {
        Error error = opened.error();
        error.path = storedPath(backupFolders, file);
        return error;
    }
    if (opened->walProblem)
        warning = "Left out the log \"" + storedPath(backupFolders, *wal) + "\" of \"" +
                  shownName(file) + "\": " + *opened->walProblem;
    return StoredDatabase{std::move(opened->database), std::move(warning)};
}

Result<StoredDatabase> openStoredDatabase(const std::string& deviceDirectory,
                                          const FileRecord& file, const FileRecord* wal,
                                          const UnlockedKeybag* keybag) {
    HeldFolders backupFolders(deviceDirectory, CreateMissing::No);
    return openStoredDatabase(backupFolders, file, wal, keybag);
}

Result<StoredDatabase> openStoredDatabaseAt(const std::string& deviceDirectory,
                                            const ApplicationMap& applications,
                                            std::string_view domain, std::string_view relativePath,
                                            const UnlockedKeybag* keybag) {
    const std::optional<FileRecord> file = findStoredFile(applications, domain, relativePath);
    if (!file)
        return Error{"Could not find", std::string(domain) + "/" + std::string(relativePath),
                     "this backup holds no such file", ErrorKind::NotInBackup};
    const std::optional<FileRecord> wal =
        findStoredFile(applications, domain, std::string(relativePath) + "-wal");
    return openStoredDatabase(deviceDirectory, *file, wal ? &*wal : nullptr, keybag);
}

const FileRecord* walRecordAmong(const std::vector<FileRecord>& files, const FileRecord& database) {
    if (!database.fullpath()) return nullptr;
    const std::string walPath = std::string(*database.fullpath()) + "-wal";
    for (const FileRecord& file : files)
        if (file.fullpath() == walPath) return &file;
    return nullptr;
}

}  // namespace salvora
