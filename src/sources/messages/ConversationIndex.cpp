#include "sources/messages/ConversationIndex.h"

#include <algorithm>
#include <span>

#include "export/HtmlText.h"
#include "export/JsonText.h"
#include "export/LocalDate.h"
#include "export/StreamedFile.h"
#include "foundation/FileWriting.h"
#include "sources/messages/ConversationPages.h"

namespace salvora {
namespace {

// The page's search: each part of the search data pushes one
// {folder, title, messages: [[page, index, date, sender, text]…]} a conversation onto
// salvoraSearch.
constexpr std::string_view searchScript = R"JS(
(function () {
  var box = document.getElementById('q');
  var out = document.getElementById('results');
  var most = 500;
  function show(query) {
    out.textContent = '';
    var words = query.toLowerCase().split(/\s+/).filter(function (w) { return w; });
    if (!words.length) return;
    var found = 0;
    var list = document.createElement('ol');
    (window.salvoraSearch || []).some(function (c) {
      return c.messages.some(function (m) {
        var text = m[4].toLowerCase();
        if (!words.every(function (w) { return text.indexOf(w) >= 0; })) return false;
        var item = document.createElement('li');
        var link = document.createElement('a');
        link.href = encodeURI(c.folder).replace(/#/g, '%23').replace(/\?/g, '%3F') +
            '/page-' + m[0] + '.html#m' + m[1];
        link.textContent = c.title + ' — ' + m[2] + ' — ' + m[3];
        var snippet = document.createElement('div');
        snippet.className = 'snippet';
        snippet.textContent = m[4];
        item.appendChild(link);
        item.appendChild(snippet);
        list.appendChild(item);
        return ++found >= most;
      }) || found >= most;
    });
    var count = document.createElement('p');
    count.id = 'count';
    count.textContent = found >= most ? 'The first ' + most + ' messages found'
                                      : found + (found === 1 ? ' message found' : ' messages found');
    out.appendChild(count);
    out.appendChild(list);
  }
  var asked = new URLSearchParams(location.search).get('q');
  if (!asked && location.hash.indexOf('#q=') === 0)
    asked = decodeURIComponent(location.hash.slice(3));
  if (asked) { box.value = asked; show(asked); }
  box.addEventListener('input', function () { show(box.value); });
})();
)JS";

constexpr std::string_view indexStyle =
    "body{font-family:system-ui,sans-serif;max-width:60em;margin:1em auto;padding:0 1em}"
    "table{border-collapse:collapse;width:100%}td,th{text-align:left;padding:.3em .5em;"
    "border-bottom:1px solid #ddd}#q{width:100%;font-size:1.1em;padding:.3em}"
    ".snippet{color:#444;white-space:pre-wrap;overflow-wrap:anywhere}"
    ".archived{font-size:.8em;color:#666;border:1px solid #aaa;border-radius:.3em;padding:0 .3em}";

// What a message is found by: its text, note, event and attachment names, into `text`.
void searchedText(std::string& text, const ExportedConversation& conversation, std::size_t index) {
    const Message& message = conversation.messages[index];
    text.clear();
    auto add = [&](std::string_view part) {
        if (!text.empty()) text.push_back(' ');
        text.append(part);
    };
    if (message.text) add(*message.text);
    if (message.note) add(*message.note);
    if (message.event) add(*message.event);
    for (const MessageAttachment& attachment : message.attachments) add(attachmentName(attachment));
}

}  // namespace

IndexEntry indexEntry(const ExportedConversation& conversation) {
    IndexEntry entry{shownTitle(*conversation.outline),
                     conversation.folder,
                     {},
                     conversation.messages.size(),
                     std::nullopt,
                     conversation.outline->archived.value_or(false)};
    for (const Participant& participant : conversation.outline->participants)
        entry.participants += (entry.participants.empty() ? "" : ", ") + shownName(participant);
    for (const Message& message : conversation.messages)
        if (message.date && (!entry.lastDate || *message.date > *entry.lastDate))
            entry.lastDate = message.date;
    return entry;
}

SearchData::SearchData(const OpenFolder& exportFolder) : exportFolder_(exportFolder) {}

Status SearchData::add(const ExportedConversation& conversation,
                       const std::vector<std::uint32_t>& pageOf) {
    if (part_.empty()) part_ = "window.salvoraSearch = window.salvoraSearch || [];\n";
    part_ += "salvoraSearch.push({\"folder\":";
    appendJsonString(part_, conversation.folder);
    part_ += ",\"title\":";
    appendJsonString(part_, shownTitle(*conversation.outline));
    part_ += ",\"messages\":[";
    // Each row [page, index, date, sender, text].
    bool first = true;
    std::string searched;
    for (std::size_t index = 0; index < conversation.messages.size(); ++index) {
        searchedText(searched, conversation, index);
        if (searched.empty()) continue;
        const Message& message = conversation.messages[index];
        part_ += first ? "\n[" : ",\n[";
        first = false;
        appendJsonNumber(part_, pageOf.at(index));
        part_ += ',';
        appendJsonNumber(part_, index);
        part_ += ',';
        appendJsonString(part_, conversation.shownDates[index]);
        part_ += ',';
        appendJsonString(part_, messageSenderName(conversation, message));
        part_ += ',';
        appendJsonString(part_, searched);
        part_ += ']';
    }
    part_ += "]});\n";
    return part_.size() >= partBytes ? writePart() : Status();
}

Status SearchData::writePart() {
    if (part_.empty()) return {};
    if (!folder_) {
        auto made = openFolderIn(exportFolder_, searchFolderName, CreateMissing::Yes);
        if (!made) return made.error();
        folder_ = std::move(*made);
    }
    const std::string name = std::to_string(parts_.size() + 1) + ".js";
    if (Status written = writeAtomically(std::as_bytes(std::span(part_)), *folder_, name); !written)
        return written;
    parts_.push_back(std::string(searchFolderName) + "/" + name);
    part_.clear();
    return {};
}

Result<std::vector<std::string>> SearchData::finish() {
    if (Status written = writePart(); !written) return written.error();
    return std::move(parts_);
}

Status writeIndexPage(std::vector<IndexEntry> entries, const std::vector<std::string>& searchParts,
                      const OpenFolder& folder, const std::string& heading) {
    std::stable_sort(entries.begin(), entries.end(), [](const IndexEntry& a, const IndexEntry& b) {
        return a.lastDate.value_or(INT64_MIN) > b.lastDate.value_or(INT64_MIN);
    });
    return streamFile(folder, indexPageName, [&](StreamedOutput& output) -> Status {
        output.write("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>");
        output.write(htmlEscaped(heading));
        output.write("</title><style>");
        output.write(indexStyle);
        output.write("</style></head><body><h1>");
        output.write(htmlEscaped(heading));
        output.write(
            "</h1><input id=\"q\" type=\"search\" placeholder=\"Search every message\" "
            "aria-label=\"Search every message\"><div id=\"results\"></div>"
            "<table><thead><tr><th>Conversation</th><th>With</th><th>Messages</th>"
            "<th>Last message</th></tr></thead><tbody>\n");
        for (const IndexEntry& entry : entries) {
            output.write("<tr><td><a href=\"");
            output.write(htmlEscaped(urlPathEscaped(entry.folder + "/" + pageName(1))));
            output.write("\">");
            output.write(htmlEscaped(entry.title));
            output.write(entry.archived ? "</a> <span class=\"archived\">archived</span></td><td>"
                                        : "</a></td><td>");
            output.write(htmlEscaped(entry.participants));
            output.write("</td><td>");
            output.write(std::to_string(entry.messageCount));
            output.write("</td><td>");
            if (entry.lastDate) output.write(localDateText(*entry.lastDate));
            output.write("</td></tr>\n");
        }
        output.write("</tbody></table>\n");
        for (const std::string& part : searchParts) {
            output.write("<script src=\"");
            output.write(htmlEscaped(urlPathEscaped(part)));
            output.write("\"></script>\n");
        }
        output.write("<script>");
        output.write(searchScript);
        output.write("</script></body></html>\n");
        return {};
    });
}

}  // namespace salvora
