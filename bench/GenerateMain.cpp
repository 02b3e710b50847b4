// salvora-bench-generate: writes one large backup, for benchmarks and for trying the window on.
#include <CLI/CLI.hpp>
#include <iostream>

#include "bench/ConversationBackups.h"
#include "bench/LargeBackup.h"

int main(int argc, char** argv) {
    using namespace salvora::bench;
    CLI::App app("Writes a large iPhone backup made up from a seed.", "salvora-bench-generate");
    std::string folder;
    BackupPlan plan;
    std::string layout = "mbdb";
    std::string deviceName = "Bench iPhone";
    app.add_option("FOLDER", folder, "The backup folder to create")->required();
    app.add_option("--files", plan.files, "Regular-file entries")->capture_default_str();
    app.add_option("--applications", plan.applications, "Applications")->capture_default_str();
    app.add_option("--largest", plan.largestApplicationFiles,
                   "Files of the first application (\"" + largestApplicationName() + "\")");
    app.add_option("--stored-files", plan.storedFiles,
                   "Files of \"" + storedApplicationName() + "\", each stored in the backup");
    app.add_option("--stored-bytes", plan.storedBytes, "Their sizes added up");
    app.add_option("--layout", layout, "mbdb (Manifest.mbdx/.mbdb) or db (Manifest.db)")
        ->check(CLI::IsMember({"mbdb", "db"}))
        ->capture_default_str();
    app.add_option("--device", deviceName, "The device name in Info.plist")->capture_default_str();
    app.add_option("--seed", plan.seed)->capture_default_str();
    SmsPlan messages{.messages = 0};
    app.add_option("--messages", messages.messages,
                   "Instead, a backup of an sms.db of this many messages, for profiling an export");
    app.add_option("--conversations", messages.conversations)->capture_default_str();
    std::size_t chatMessages = 0;
    app.add_option("--whatsapp-messages", chatMessages,
                   "Instead, a backup of a WhatsApp ChatStorage.sqlite of this many messages");
    std::size_t chats = 200;
    app.add_option("--chats", chats)->capture_default_str();
    CLI11_PARSE(app, argc, argv);

    try {
        if (messages.messages > 0 || chatMessages > 0) {
            if (messages.messages > 0)
                writeSmsBackup(folder, messages);
            else
                writeWhatsAppBackup(folder, chatMessages, chats);
            std::cout << "a backup of " << (messages.messages + chatMessages) << " messages in "
                      << folder << '\n';
            return 0;
        }
        const WrittenBackup written = writeLargeBackup(
            folder, plan,
            layout == "db" ? CatalogueLayout::ManifestDb : CatalogueLayout::ManifestDatabase,
            deviceName);
        std::cout << written.files << " files, " << written.folders << " folders, "
                  << written.storedFiles << " stored files of " << written.storedBytes
                  << " bytes in " << folder << '\n';
    } catch (const std::exception& failure) {
        std::cerr << "salvora-bench-generate: " << failure.what() << '\n';
        return 1;
    }
    return 0;
}
