#include "sources/calls/CallExport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <span>
#include <unordered_map>

#include "export/Csv.h"
#include "export/ExportFolder.h"
#include "export/HtmlText.h"
#include "export/LocalDate.h"
#include "foundation/FileWriting.h"
#include "sources/contacts/AddressBookNames.h"

namespace salvora {
namespace {

constexpr std::string_view pageStyle =
    "body{font-family:system-ui,sans-serif;margin:2em}table{border-collapse:collapse}"
    "th,td{padding:.3em .8em;text-align:left;border-bottom:1px solid #ddd}"
    "td.n{text-align:right;font-variant-numeric:tabular-nums}tr.missed td{color:#c00}";

std::string isoDate(const Call& call) {
    return call.date ? isoLocalDate(*call.date * 1000) : std::string();
}

std::string secondsText(double seconds) {
    return std::to_string(static_cast<std::int64_t>(std::llround(seconds)));
}

}  // namespace

std::vector<std::string> callerNames(const CallHistory& history, const ContactNames& names) {
    std::unordered_map<std::string_view, std::optional<std::string>> known;
    std::vector<std::string> shown;
    shown.reserve(history.calls.size());
    for (const Call& call : history.calls) {
        auto [found, added] = known.try_emplace(call.address);
        if (added && !call.address.empty()) found->second = names.nameOf(call.address);
        shown.push_back(found->second.value_or(call.name));
    }
    return shown;
}

std::string_view directionText(const Call& call) { return call.outgoing ? "outgoing" : "incoming"; }

std::string_view answerText(const Call& call) {
    if (call.answered) return "answered";
    return call.outgoing ? "not answered" : "missed";
}

std::string lengthText(double seconds) {
    const auto whole = static_cast<long long>(std::llround(std::max(0.0, seconds)));
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                  whole % 60);
    return text;
}

std::string callsCsv(const CallHistory& history, const std::vector<std::string>& names) {
    std::string csv;
    appendCsvRecord(csv, {"Date", "Name", "Number", "Direction", "Answered", "Duration (seconds)",
                          "Service", "Country"});
    for (std::size_t index = 0; index < history.calls.size(); ++index) {
        const Call& call = history.calls[index];
        appendCsvRecord(csv, {isoDate(call), names[index], call.address,
                              std::string(directionText(call)), std::string(answerText(call)),
                              secondsText(call.duration), call.service, call.country});
    }
    return csv;
}

std::string callsHtml(const CallHistory& history, const std::vector<std::string>& names) {
    std::string html = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Calls</title>"
                       "<style>";
    html.append(pageStyle).append("</style></head><body><h1>Calls</h1><table><thead><tr>");
    for (const char* heading : {"Date", "Name", "Direction", "Missed", "Length", "Service"})
        html.append("<th>").append(heading).append("</th>");
    html.append("</tr></thead><tbody>\n");
    for (std::size_t index = history.calls.size(); index-- > 0;) {
        const Call* call = &history.calls[index];
        const bool missed = !call->answered && !call->outgoing;
        html.append(missed ? "<tr class=\"missed\"><td>" : "<tr><td>");
        if (call->date) html.append(localDateText(*call->date * 1000));
        html.append("</td><td>");
        appendHtmlEscaped(html, names[index].empty() ? call->address : names[index]);
        html.append("</td><td>").append(directionText(*call)).append("</td><td>");
        if (!call->answered) html.append(answerText(*call));
        html.append("</td><td class=\"n\">").append(lengthText(call->duration)).append("</td><td>");
        appendHtmlEscaped(html, call->service);
        html.append("</td></tr>\n");
    }
    return html.append("</tbody></table></body></html>\n");
}

ExportSummary exportCalls(const CallHistory& history, const ContactNames& names,
                          const std::string& destination, const SaveProgress& progress) {
    ExportSummary summary;
    summary.warnings = history.warnings;
    auto folder = ExportFolder::begin(destination, "calls");
    if (!folder) {
        summary.error = folder.error();
        return summary;
    }
    constexpr std::size_t total = 2;
    std::size_t done = 0;
    auto write = [&](const std::string& name, const std::string& text) {
        if (progress && !progress(SaveStatus{done++, total, 0, 0, name})) return false;
        const auto written = writeAtomically(std::as_bytes(std::span(text.data(), text.size())),
                                             folder->folder(), name);
        if (!written) summary.failures.push_back({folder->folder().pathOf(name), written.error()});
        return true;
    };
    const std::vector<std::string> shown = callerNames(history, names);
    if (!write("calls.csv", callsCsv(history, shown)) ||
        !write("calls.html", callsHtml(history, shown)) ||
        (progress && !progress(SaveStatus{done, total, 0, 0, ""}))) {
        summary.cancelled = true;
        return summary;
    }
    if (Status committed = folder->commit(); !committed) {
        summary.error = committed.error();
        return summary;
    }
    summary.counts.push_back({history.calls.size(), "call", "calls"});
    summary.firstPage = folder->destination() + "/calls.html";
    return summary;
}

Result<BackupCalls> readBackupCalls(const std::string& deviceDirectory,
                                    const ApplicationMap& applications,
                                    const UnlockedKeybag* keybag) {
    auto history = readBackupCallHistory(deviceDirectory, applications, keybag);
    if (!history) return history.error();
    BackupCalls calls{std::move(*history), {}};
    auto names = readContactNames(deviceDirectory, applications, keybag);
    if (names)
        calls.names = std::move(*names);
    else if (names.error().kind != ErrorKind::NotInBackup)
        calls.history.warnings.push_back("Calls show no names from the address book: " +
                                         names.error().reason);
    return calls;
}

ExportSummary exportBackupCalls(const std::string& deviceDirectory,
                                const ApplicationMap& applications, const UnlockedKeybag* keybag,
                                const std::string& destination, const SaveProgress& progress) {
    auto calls = readBackupCalls(deviceDirectory, applications, keybag);
    if (!calls) {
        ExportSummary summary;
        summary.error = calls.error();
        return summary;
    }
    return exportCalls(calls->history, calls->names, destination, progress);
}

}  // namespace salvora
