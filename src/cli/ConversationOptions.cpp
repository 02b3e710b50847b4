#include "cli/ConversationOptions.h"

#include <charconv>
#include <ctime>

namespace salvora::cli {
namespace {

// The number of exactly `digits` digits at `at`, moving past them.
std::optional<int> number(std::string_view text, std::size_t& at, std::size_t digits) {
    if (at + digits > text.size()) return std::nullopt;
    int value = 0;
    const char* first = text.data() + at;
    const auto [end, error] = std::from_chars(first, first + digits, value);
    if (error != std::errc{} || end != first + digits || *first == '-' || *first == '+')
        return std::nullopt;
    at += digits;
    return value;
}

bool takes(std::string_view text, std::size_t& at, char expected) {
    if (at >= text.size() || text[at] != expected) return false;
    ++at;
    return true;
}

std::string dateProblem(const std::string& text, bool endOfDay) {
    return commandLineDate(text, endOfDay) ? std::string()
                                           : "\"" + text + "\" is no date (YYYY-MM-DD or ISO 8601)";
}

}  // namespace

std::optional<UnixMillis> commandLineDate(std::string_view text, bool endOfDay) {
    std::size_t at = 0;
    std::tm fields{};
    const auto year = number(text, at, 4);
    if (!year || !takes(text, at, '-')) return std::nullopt;
    const auto month = number(text, at, 2);
    if (!month || !takes(text, at, '-')) return std::nullopt;
    const auto day = number(text, at, 2);
    if (!day || *month < 1 || *month > 12 || *day < 1 || *day > 31) return std::nullopt;
    fields.tm_year = *year - 1900;
    fields.tm_mon = *month - 1;
    fields.tm_mday = *day;
    std::optional<int> offsetMinutes;  // absent: local time
    if (at < text.size()) {
        endOfDay = false;
        if (!takes(text, at, 'T') && !takes(text, at, ' ')) return std::nullopt;
        const auto hour = number(text, at, 2);
        if (!hour || !takes(text, at, ':')) return std::nullopt;
        const auto minute = number(text, at, 2);
        if (!minute) return std::nullopt;
        std::optional<int> second = 0;
        if (takes(text, at, ':') && !(second = number(text, at, 2))) return std::nullopt;
        if (*hour > 23 || *minute > 59 || *second > 60) return std::nullopt;
        fields.tm_hour = *hour;
        fields.tm_min = *minute;
        fields.tm_sec = *second;
        if (takes(text, at, 'Z')) {
            offsetMinutes = 0;
        } else if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
            const int sign = text[at++] == '-' ? -1 : 1;
            const auto hours = number(text, at, 2);
            takes(text, at, ':');
            const auto minutes = number(text, at, 2);
            if (!hours || !minutes || *hours > 23 || *minutes > 59) return std::nullopt;
            offsetMinutes = sign * (*hours * 60 + *minutes);
        }
        if (at != text.size()) return std::nullopt;
    }
    if (endOfDay) ++fields.tm_mday;  // messages before the next day's start
    std::time_t seconds = 0;
    if (offsetMinutes) {
        seconds = ::timegm(&fields) - static_cast<std::time_t>(*offsetMinutes) * 60;
    } else {
        fields.tm_isdst = -1;
        seconds = std::mktime(&fields);
    }
    if (seconds == static_cast<std::time_t>(-1)) return std::nullopt;
    return static_cast<UnixMillis>(seconds) * 1000;
}

void addConversationOptions(CLI::App* command, ConversationArguments& arguments) {
    command
        ->add_option("--since", arguments.since,
                     "Only messages from DATE on (YYYY-MM-DD or ISO 8601)")
        ->type_name("DATE")
        ->check([](const std::string& text) { return dateProblem(text, false); });
    command->add_option("--until", arguments.until, "Only messages up to DATE (a day: to its end)")
        ->type_name("DATE")
        ->check([](const std::string& text) { return dateProblem(text, true); });
    command
        ->add_option("--conversation", arguments.conversation,
                     "Only conversations whose title, or a participant's name or handle, "
                     "holds TEXT (in any case)")
        ->type_name("TEXT");
    command->add_flag("--no-attachments", arguments.noAttachments,
                      "Leave the attachments' files out: only the text is exported");
    command->add_option("--me", arguments.me, "The name the phone's owner is shown under")
        ->type_name("NAME");
}

ConversationExportOptions conversationExportOptions(const ConversationArguments& arguments,
                                                    std::string kind) {
    ConversationExportOptions options;
    options.kind = std::move(kind);
    if (!arguments.since.empty()) options.since = commandLineDate(arguments.since, false);
    if (!arguments.until.empty()) options.until = commandLineDate(arguments.until, true);
    options.conversation = arguments.conversation;
    options.attachments = !arguments.noAttachments;
    options.me = arguments.me;
    return options;
}

}  // namespace salvora::cli
