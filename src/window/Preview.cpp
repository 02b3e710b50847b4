#include "window/Preview.h"

#include <QLocale>
#include <QStringDecoder>
#include <QStringList>
#include <algorithm>

#include "catalog/StoredFileLookup.h"
#include "crypto/BackupEncryption.h"
#include "export/LocalDate.h"
#include "export/ZoneTime.h"
#include "foundation/Plural.h"
#include "plist/BinaryPropertyListFormat.h"
#include "plist/PropertyList.h"
#include "recovery/StoredDatabase.h"
#include "sources/calendar/CalendarDatabase.h"
#include "sources/calls/CallExport.h"
#include "sources/contacts/AddressBook.h"
#include "sources/contacts/AddressBookNames.h"
#include "sources/messages/SmsDatabase.h"
#include "sources/whatsapp/BackupWhatsApp.h"
#include "sources/whatsapp/WhatsAppChats.h"
#include "sqlite/QueryDeadline.h"
#include "sqlite/SqliteFileHeader.h"
#include "window/QtText.h"

namespace salvora {
namespace {

constexpr std::size_t hexBytesShown = 4096;
// More text than this makes the text view slow and is more than anyone reads in a preview.
constexpr qsizetype textCharactersShown = qsizetype{1} << 20;
// A conversations preview lists the newest ones; the export has them all.
constexpr std::size_t conversationsShown = 1000;
// How long the conversations of one database are read for: a look, not an export. A database
// larger than that is shown with what was read by then.
constexpr std::chrono::seconds conversationReading{3};

QString sizeText(const FileStart& start, std::optional<std::uint64_t> size) {
    const QLocale locale;
    if (size) return locale.formattedDataSize(static_cast<qint64>(*size));
    const QString read = locale.formattedDataSize(static_cast<qint64>(start.bytes.size()));
    return start.whole ? read : QObject::tr("more than %1").arg(read);
}

std::string_view asText(const std::vector<std::byte>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

bool startsWith(const std::vector<std::byte>& bytes, std::string_view prefix) {
    return asText(bytes).starts_with(prefix);
}

// "00000000  62 70 6c 69 ...  bpli..."
QString hexView(const std::vector<std::byte>& bytes) {
    QString text;
    const std::size_t shown = std::min(bytes.size(), hexBytesShown);
    for (std::size_t line = 0; line < shown; line += 16) {
        QString hex;
        QString printable;
        for (std::size_t at = line; at < line + 16; ++at) {
            if (at >= shown) {
                hex += QStringLiteral("   ");
                continue;
            }
            const auto value = static_cast<unsigned char>(bytes[at]);
            hex += QStringLiteral("%1 ").arg(value, 2, 16, QLatin1Char('0'));
            printable += value >= 0x20 && value < 0x7f ? QChar(value) : QLatin1Char('.');
        }
        text +=
            QStringLiteral("%1  %2 %3\n").arg(line, 8, 16, QLatin1Char('0')).arg(hex, printable);
    }
    return text;
}

std::optional<QString> utf8Text(const std::vector<std::byte>& bytes) {
    if (std::find(bytes.begin(), bytes.end(), std::byte{0}) != bytes.end()) return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text =
        decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (decoder.hasError()) return std::nullopt;
    return text;
}

// The database with its "-wal" applied; absent when SQLite can't read it. An encrypted database
// is decrypted into memory, so only one the preview read whole is opened.
std::optional<StoredDatabase> databaseOf(const PreviewSource& source, const FileStart& start) {
    if (!startsWithSQLiteHeader(start.bytes)) return std::nullopt;
    if (!start.whole && source.keybag && source.file->encryptionKey()) return std::nullopt;
    auto database = openStoredDatabase(source.deviceDirectory, *source.file, source.wal.get(),
                                       source.keybag.get());
    if (!database) return std::nullopt;
    return std::move(*database);
}

// Whether the chosen file is the one the device kept at (domain, relative path), found as the
// exports find their databases, so a file shown under a container's head or a domain's name
// counts too; by its full path alone where there is no catalogue to look in.
bool storedAt(const PreviewSource& source, std::string_view domain, std::string_view path) {
    if (!source.applications) return source.file->fullpath() == path;
    const auto found = findStoredFile(*source.applications, domain, path);
    return found && found->name() == source.file->name();
}

// The address book shown as the people in it, a line each: name, phone numbers, e-mail
// addresses; absent for any other database.
std::optional<QString> peopleOf(const PreviewSource& source, StoredDatabase& database) {
    if (!storedAt(source, "HomeDomain", addressBookPath)) return std::nullopt;
    auto book = readAddressBook(database.database.handle());
    if (!book) return std::nullopt;
    QStringList lines;
    for (const Contact& contact : book->contacts) {
        QStringList parts{toQString(displayName(contact))};
        for (const auto* values : {&contact.phones, &contact.emails})
            for (const LabeledValue& value : *values) parts << toQString(value.value);
        lines << parts.join(QStringLiteral("  ·  "));
    }
    return lines.join(QLatin1Char('\n'));
}

// The call history shown as its calls, newest first, a line each: date, the name the phone
// kept or the number, direction, length; absent for any other database.
std::optional<QString> callsOf(const PreviewSource& source, StoredDatabase& database) {
    if (!storedAt(source, "HomeDomain", callHistoryPath) &&
        !storedAt(source, "HomeDomain", olderCallHistoryPath))
        return std::nullopt;
    auto history = readCallHistory(database.database.handle());
    if (!history) return std::nullopt;
    QStringList lines;
    for (auto call = history->calls.rbegin(); call != history->calls.rend(); ++call) {
        const std::string& who = call->name.empty() ? call->address : call->name;
        lines << QStringList{call->date ? toQString(localDateText(*call->date * 1000)) : QString(),
                             toQString(who), toQString(directionText(*call)),
                             toQString(lengthText(call->duration))}
                     .join(QStringLiteral("  ·  "));
    }
    return lines.join(QLatin1Char('\n'));
}

// The calendars shown as their events, a line each in the order they happen: start, title,
// calendar; absent for any other database.
std::optional<QString> eventsOf(const PreviewSource& source, StoredDatabase& database) {
    if (!storedAt(source, "HomeDomain", calendarDatabasePath)) return std::nullopt;
    auto calendars = readCalendarDatabase(database.database.handle());
    if (!calendars) return std::nullopt;
    std::vector<const CalendarEvent*> events;
    for (const CalendarEvent& event : calendars->events) events.push_back(&event);
    std::stable_sort(events.begin(), events.end(),
                     [](const auto* a, const auto* b) { return a->start < b->start; });
    QStringList lines;
    for (const CalendarEvent* event : events) {
        // An all-day event, or one in no zone, happens at the same wall-clock time everywhere.
        const CivilTime wall = utcCivilTime(event->start);
        const QString day = QStringLiteral("%1-%2-%3")
                                .arg(wall.year, 4, 10, QLatin1Char('0'))
                                .arg(wall.month, 2, 10, QLatin1Char('0'))
                                .arg(wall.day, 2, 10, QLatin1Char('0'));
        const QString start = event->allDay ? day
                              : event->startZone.empty()
                                  ? QStringLiteral("%1 %2:%3")
                                        .arg(day)
                                        .arg(wall.hour, 2, 10, QLatin1Char('0'))
                                        .arg(wall.minute, 2, 10, QLatin1Char('0'))
                                  : toQString(localDateText(event->start * 1000));
        QString calendar;
        for (const Calendar& candidate : calendars->calendars)
            if (candidate.id == event->calendarId) calendar = toQString(candidate.title);
        lines << QStringList{start, toQString(event->summary), calendar}.join(
            QStringLiteral("  ·  "));
    }
    return lines.join(QLatin1Char('\n'));
}

Preview textPreview(QString summary, QString text) {
    Preview preview;
    preview.kind = Preview::Kind::Text;
    preview.summary = std::move(summary);
    preview.text = std::move(text);
    return preview;
}

enum class Conversations { None, Messages, WhatsApp };

// Whether the file is Messages' or WhatsApp's database, which a preview shows as conversations.
Conversations conversationsHeldBy(const PreviewSource& source) {
    if (storedAt(source, smsDomain, smsDatabasePath)) return Conversations::Messages;
    const std::vector<WhatsAppApplication> whatsApps =
        source.applications ? whatsAppApplicationsIn(*source.applications)
                            : std::vector<WhatsAppApplication>{whatsApp};
    for (const WhatsAppApplication& application : whatsApps)
        if (storedAt(source, application.domain, whatsAppChatStorage))
            return Conversations::WhatsApp;
    return Conversations::None;
}

// The conversations of Messages' or WhatsApp's database, newest first, read by their exports'
// readers with the people named by the backup's address book; absent when neither reader can
// open it.
std::optional<Preview> conversationsOf(const PreviewSource& source, Conversations held,
                                       StoredDatabase database, const QString& sized) {
    const bool messages = held == Conversations::Messages;
    ContactNames names;
    if (source.applications)
        if (auto found =
                readContactNames(source.deviceDirectory, *source.applications, source.keybag.get()))
            names = std::move(*found);
    const QueryDeadline deadline(database.database.handle(), conversationReading);
    auto store = messages ? openSmsConversations(std::move(database), std::move(names))
                          : openWhatsAppChats(std::move(database), std::nullopt, std::move(names),
                                              WhatsAppChatOptions{});
    if (!store) return std::nullopt;
    Preview preview;
    preview.kind = Preview::Kind::Conversations;
    preview.conversations = (*store)->outlines();
    std::stable_sort(preview.conversations.begin(), preview.conversations.end(),
                     [](const ConversationOutline& a, const ConversationOutline& b) {
                         return a.lastDate.value_or(INT64_MIN) > b.lastDate.value_or(INT64_MIN);
                     });
    const std::size_t count = preview.conversations.size();
    preview.summary = QObject::tr("%1, %2: %3")
                          .arg(messages ? QObject::tr("Messages") : QObject::tr("WhatsApp chats"),
                               sized, toQString(counted(count, "conversation", "conversations")));
    if (count > conversationsShown) {
        preview.conversations.resize(conversationsShown);
        preview.summary += QObject::tr(", the newest %1 shown").arg(conversationsShown);
    }
    if (deadline.passed()) preview.summary += QObject::tr("; read in part, as it is large");
    return preview;
}

}  // namespace

Preview previewOf(FileStart start, std::optional<std::uint64_t> size) {
    Preview preview;
    const QString sized = sizeText(start, size);
    if (start.whole &&
        (startsWith(start.bytes, binaryPropertyListMagic) || startsWith(start.bytes, "<?xml"))) {
        if (auto xml = PropertyList::fromData(start.bytes).xmlText()) {
            preview.kind = Preview::Kind::Text;
            preview.summary = QObject::tr("Property list, %1").arg(sized);
            preview.text = toQString(*xml);
            return preview;
        }
    }
    if (start.whole) {
        preview.image = QImage::fromData(
            QByteArrayView(start.bytes.data(), static_cast<qsizetype>(start.bytes.size())));
        if (!preview.image.isNull()) {
            preview.kind = Preview::Kind::Image;
            preview.summary = QObject::tr("Image, %1 × %2, %3")
                                  .arg(preview.image.width())
                                  .arg(preview.image.height())
                                  .arg(sized);
            return preview;
        }
    }
    if (auto text = utf8Text(start.bytes); text && !start.bytes.empty()) {
        preview.kind = Preview::Kind::Text;
        preview.summary = start.whole ? QObject::tr("Text, %1").arg(sized)
                                      : QObject::tr("Text, %1; its start").arg(sized);
        preview.text = text->left(textCharactersShown);
        return preview;
    }
    preview.summary = QObject::tr("%1; its first bytes").arg(sized);
    preview.text = hexView(start.bytes);
    return preview;
}

namespace {

// A database's people, calls or events where it is one of those, else its tables.
std::optional<Preview> databasePreview(const PreviewSource& source, StoredDatabase& database,
                                       const QString& sized) {
    if (auto people = peopleOf(source, database))
        return textPreview(QObject::tr("Address book, %1").arg(sized), std::move(*people));
    if (auto calls = callsOf(source, database))
        return textPreview(QObject::tr("Call history, %1").arg(sized), std::move(*calls));
    if (auto events = eventsOf(source, database))
        return textPreview(QObject::tr("Calendars, %1").arg(sized), std::move(*events));
    auto tables = sqliteTableSizes(database.database);
    if (!tables) return std::nullopt;
    Preview preview;
    preview.kind = Preview::Kind::Tables;
    preview.summary = QObject::tr("SQLite database, %1").arg(sized);
    preview.tables = std::move(*tables);
    return preview;
}

}  // namespace

Result<Preview> readPreview(const PreviewSource& source) {
    Result<FileStart> start =
        readFileStart(source.deviceDirectory, *source.file, PreviewLimit, source.keybag.get());
    if (!start) return start.error();
    if (auto database = databaseOf(source, *start)) {
        const QString sized = sizeText(*start, source.file->size());
        if (const Conversations held = conversationsHeldBy(source); held != Conversations::None) {
            if (auto conversations = conversationsOf(source, held, std::move(*database), sized))
                return std::move(*conversations);
            // The reader took the database with it; shown as tables instead.
            if (auto reopened = databaseOf(source, *start))
                if (auto preview = databasePreview(source, *reopened, sized)) return *preview;
        } else if (auto preview = databasePreview(source, *database, sized)) {
            return *preview;
        }
    }
    return previewOf(std::move(*start), source.file->size());
}

}  // namespace salvora
