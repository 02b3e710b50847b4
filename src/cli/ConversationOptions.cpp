#include "cli/ConversationOptions.h"

#include <charconv>
#include <ctime>

namespace salvora::cli {
namespace {

// Digits at `at` of exactly `width`, as a number; absent when they are not all digits.
std::optional<int> digitsAt(std::string_view text, std::size_t at, std::size_t width) {
    if (at + width > text.size()) return std::nullopt;
    int value = 0;
    auto [end, error] = std::from_chars(text.data() + at, text.data() + at + width, value);
    if (error != std::errc{} || end != text.data() + at + width) return std::nullopt;
    return value;
}

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

std::optional<UnixMillis> localTime(int year, int month, int day, int hour, int minute,
                                    int second) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    fields.tm_isdst = -1;
    const std::time_t time = std::mktime(&fields);
    if (time == static_cast<std::time_t>(-1) && !(year == 1969 && month == 12 && day == 31))
        return std::nullopt;
    return static_cast<UnixMillis>(time) * 1000;
}

}  // namespace

std::optional<UnixMillis> commandLineDate(std::string_view text, bool endOfDay) {
    auto year = digitsAt(text, 0, 4);
    auto month = digitsAt(text, 5, 2);
    auto day = digitsAt(text, 8, 2);
    if (!year || !month || !day || text[4] != '-' || text[7] != '-' || *month < 1 || *month > 12 ||
        *day < 1 || *day > 31)
        return std::nullopt;
    if (text.size() == 10) {
        // The end of a day is the start of the next: mktime carries the 32nd over.
        return localTime(*year, *month, *day + (endOfDay ? 1 : 0), 0, 0, 0);
    }
    if (text[10] != 'T' && text[10] != ' ') return std::nullopt;
    auto hour = digitsAt(text, 11, 2);
    auto minute = digitsAt(text, 14, 2);
    if (!hour || !minute || text.size() < 16 || text[13] != ':' || *hour > 23 || *minute > 59)
        return std::nullopt;
    std::size_t at = 16;
    int second = 0;
    if (at < text.size() && text[at] == ':') {
        auto seconds = digitsAt(text, at + 1, 2);
        if (!seconds || *seconds > 60) return std::nullopt;
        second = *seconds;
        at += 3;
    }
    if (at == text.size()) return localTime(*year, *month, *day, *hour, *minute, second);
    int offsetMinutes = 0;
    if (text.substr(at) != "Z") {
        auto offsetHours = digitsAt(text, at + 1, 2);
        auto offsetRest = digitsAt(text, at + 4, 2);
        if ((text[at] != '+' && text[at] != '-') || text.size() != at + 6 || text[at + 3] != ':' ||
            !offsetHours || !offsetRest)
            return std::nullopt;
        offsetMinutes = (text[at] == '-' ? -1 : 1) * (*offsetHours * 60 + *offsetRest);
    }
    const std::int64_t seconds =
        daysFromCivil(*year, static_cast<unsigned>(*month), static_cast<unsigned>(*day)) * 86400 +
        *hour * 3600 + *minute * 60 + second - offsetMinutes * 60;
    return seconds * 1000;
}

void addConversationOptions(CLI::App* command, ConversationArguments& arguments) {
    auto date = [](bool endOfDay) {
        return CLI::Validator(
            [endOfDay](std::string& text) {
                return commandLineDate(text, endOfDay)
                           ? std::string()
                           : "not a date: give YYYY-MM-DD or YYYY-MM-DDTHH:MM[:SS][Z|+HH:MM]";
            },
            "");
    };
    command->add_option("--since", arguments.since, "Only messages from DATE on")
        ->type_name("DATE")
        ->check(date(false));
    command->add_option("--until", arguments.until, "Only messages up to DATE (a day: its end)")
        ->type_name("DATE")
        ->check(date(true));
    command
        ->add_option("--conversation", arguments.conversation,
                     "Only conversations whose title or a participant's name or handle holds "
                     "TEXT, in any case")
        ->type_name("TEXT");
    command->add_flag("--no-attachments", arguments.noAttachments,
                      "Leave the attachments' files out (their names stay in the text)");
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
