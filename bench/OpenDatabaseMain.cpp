// salvora-bench-open-database BACKUP APPLICATION PATH TABLE [PASSWORD_FILE]: builds the backup's
// catalogue, unlocks it with the password when given, opens the database at PATH of the
// application as an export opens it (its "-wal" applied) and prints the row count of TABLE.
// A whole process of its own, so that its peak memory is the opening's.
#include <sqlite3.h>

#include <algorithm>
#include <iostream>

#include "catalog/Catalog.h"
#include "foundation/FileReading.h"
#include "recovery/StoredDatabase.h"
#include "sqlite/Statement.h"

int main(int argc, char** argv) {
    using namespace salvora;
    if (argc != 5 && argc != 6) {
        std::cerr << "usage: salvora-bench-open-database BACKUP APPLICATION PATH TABLE "
                     "[PASSWORD_FILE]\n";
        return 2;
    }
    const std::string backup = argv[1];
    Catalog catalog;
    if (argc == 6) {
        auto password = readFile(argv[5]);
        const auto bytes = password ? password->bytes() : std::span<const std::byte>();
        const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        if (!password || !catalog.unlockBackup(backup, text)) {
            std::cerr << "could not unlock " << backup << '\n';
            return 1;
        }
    }
    DeviceRecord device;
    device.directory = backup;
    catalog.buildCatalogForDevice(device);
    auto application = device.applications->find(argv[2]);
    if (application == device.applications->end()) return 1;
    const std::vector<FileRecord>& files = application->second->files;
    auto file = std::find_if(files.begin(), files.end(),
                             [&](const FileRecord& each) { return each.fullpath() == argv[3]; });
    if (file == files.end()) return 1;
    auto opened = openStoredDatabase(backup, *file, walRecordAmong(files, *file),
                                     catalog.keybagFor(backup).get());
    if (!opened) {
        std::cerr << opened.error().description() << '\n';
        return 1;
    }
    auto count = prepare(opened->database.handle(),
                         std::string("SELECT count(*) FROM ") + quotedName(argv[4]));
    if (!count || sqlite3_step(count->get()) != SQLITE_ROW) return 1;
    std::cout << integerColumn(count->get(), 0).value_or(-1) << '\n';
    return opened->warning ? 1 : 0;
}
