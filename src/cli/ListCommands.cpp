#include "cli/ListCommands.h"

#include <nlohmann/json.hpp>

#include "cli/Cli.h"
#include "cli/FailureReport.h"
#include "cli/OpenedBackup.h"
#include "cli/WriteBehind.h"
#include "crypto/BackupEncryption.h"
#include "discovery/Discovery.h"
#include "foundation/Plural.h"
#include "foundation/Prefetch.h"

namespace salvora::cli {
namespace {

using nlohmann::json;

json stringOrNull(std::optional<std::string_view> value) {
    return value ? json(std::string(*value)) : json(nullptr);
}

// Names come from backups and may hold bytes that are not UTF-8; they are shown replaced
// rather than stopping the listing.
void printJson(std::ostream& out, const json& value) {
    out << value.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
}

// "Manifest.mbdb: 12 records read, 1 skipped, cut off after 12 records", a line per layout.
void tellReading(const CommandContext& context, const OpenedBackup& opened) {
    const CatalogReading* reading = opened.catalog.readingOf(opened.device->directory);
    if (reading == nullptr) return;
    for (const LayoutReading& layout : reading->layouts) {
        std::string line = layout.layout + ": " + counted(layout.recordsRead, "record", "records") +
                           " read, " + std::to_string(layout.recordsSkipped) + " skipped";
        if (!layout.firstDamage.empty()) line += ", " + layout.firstDamage;
        context.complain(line);
    }
    if (opened.applications.empty())
        context.complain("the backup lists nothing: " + whyNothingListed(*reading));
}

// A million lines go out through one buffer, handed a large piece at a time to a writer of its
// own, rather than through the stream five insertions a line.
class LineBuffer {
  public:
    explicit LineBuffer(std::ostream& out) : out_(out) { text_.reserve(capacity); }
    ~LineBuffer() { out_.handLast(text_); }
    LineBuffer(const LineBuffer&) = delete;
    LineBuffer& operator=(const LineBuffer&) = delete;

    void line(std::string_view application, std::string_view fullpath, StoredName name) {
        text_.append(application).append(1, '\t').append(fullpath).append(1, '\t');
        name.appendSpelled(text_);
        text_.append(1, '\n');
        if (text_.size() >= capacity) {
            out_.hand(text_);
            text_.reserve(capacity);
        }
    }

  private:
    static constexpr std::size_t capacity = std::size_t{1} << 20;

    // Declared first so that it outlives the last piece.
    WriteBehind out_;
    std::string text_;
};

// How many records ahead a listing fetches the texts of: they lie in the order the backup's
// catalogue holds them, not in the order of the list.
constexpr std::size_t lookahead = 16;

void printFiles(Format format, const ApplicationRecord& application, json& list,
                LineBuffer& lines) {
    const std::vector<FileRecord>& files = application.files;
    for (std::size_t index = 0; index < files.size(); ++index) {
        const FileRecord& file = files[index];
        if (index + lookahead < files.size())
            prefetchForReading(files[index + lookahead].storedName().bytes.data());
        if (format == Format::Json) {
            list.push_back({{"application", application.name},
                            {DeviceApplicationFileRealName, stringOrNull(file.fullpath())},
                            {DeviceApplicationFileName, file.name()},
                            {DeviceApplicationOldVersion, file.isOldVersion()}});
        } else {
            lines.line(application.name, file.fullpath().value_or(""), file.storedName());
        }
    }
}

std::string_view applicationKindName(ApplicationKind kind) {
    switch (kind) {
        case ApplicationKind::App:
            return "app";
        case ApplicationKind::Group:
            return "group";
        case ApplicationKind::Plugin:
            return "plugin";
        case ApplicationKind::System:
            return "system";
        case ApplicationKind::Domain:
            return "domain";
    }
    return {};
}

}  // namespace

int listDevices(const CommandContext& context, Format format) {
    json list = json::array();
    std::size_t index = 0;
    for (const auto& device : scanBackupRoots()) {
        ++index;
        if (format == Format::Json) {
            list.push_back({{"index", index},
                            {DeviceName, stringOrNull(device->name)},
                            {DeviceDate, stringOrNull(device->date)},
                            {DeviceDirectory, device->directory},
                            {"encrypted", judgeBackupProtection(device->directory).isEncrypted()}});
            continue;
        }
        // As the device table shows it.
        context.out << index << '\t' << deviceDisplayText(*device) << '\t'
                    << device->date.value_or("") << '\t' << device->directory << '\n';
    }
    if (format == Format::Json) printJson(context.out, list);
    return Success;
}

int listApplications(const CommandContext& context, const std::string& backup, Format format,
                     bool verbose) {
    auto opened = openBackup(context, backup);
    if (!opened) return usageFailure(context, opened.error());
    json list = json::array();
    for (const auto& application : opened->applications) {
        const std::string display = opened->displayText(*application);
        const std::size_t count = application->files.size();
        if (format == Format::Json) {
            json entry = {{"name", application->name}, {"displayName", display}, {"files", count}};
            if (application->kind) {
                entry["kind"] = applicationKindName(*application->kind);
                entry["domains"] = application->domains;
            }
            list.push_back(std::move(entry));
        } else {
            context.out << application->name << '\t' << display << '\t' << count << '\n';
        }
    }
    if (format == Format::Json) printJson(context.out, list);
    if (verbose) tellReading(context, *opened);
    return Success;
}

int listFiles(const CommandContext& context, const std::string& backup,
              const std::optional<std::string>& application, Format format) {
    auto opened = openBackup(context, backup);
    if (!opened) return usageFailure(context, opened.error());
    json list = json::array();
    {
        LineBuffer lines(context.out);
        if (application) {
            auto found = opened->findApplication(*application);
            if (!found) return usageFailure(context, found.error());
            const ApplicationRecord* record = *found;
            printFiles(format, *record, list, lines);
        } else {
            for (const auto& record : opened->applications)
                printFiles(format, *record, list, lines);
        }
    }
    if (format == Format::Json) printJson(context.out, list);
    return Success;
}

}  // namespace salvora::cli
