#include "sources/messages/ConversationPages.h"

#include <span>

#include "export/BrowserImage.h"
#include "export/CoordinateText.h"
#include "export/HtmlText.h"
#include "foundation/FileWriting.h"
#include "foundation/Path.h"

namespace salvora {
namespace {

constexpr std::string_view pageStyle =
    "body{font-family:system-ui,sans-serif;max-width:50em;margin:1em auto;padding:0 1em}"
    ".m{margin:.6em 0;padding:.4em .7em;border-radius:.7em;background:#eee;max-width:80%}"
    ".m.me{background:#d7ebff;margin-left:auto}.h{font-size:.8em;color:#555}"
    ".s{font-weight:bold}.t{margin:.2em 0;white-space:pre-wrap;overflow-wrap:anywhere}"
    ".q{margin:.2em 0;padding-left:.5em;border-left:3px solid #999;color:#444;font-size:.9em}"
    ".e{text-align:center;color:#666;font-size:.85em;margin:.6em 0}"
    ".missing{color:#a00}.r{font-size:.85em;color:#333}.flag{color:#a60;font-style:italic}"
    "img,video{max-width:100%;max-height:30em;display:block}nav{margin:1em 0}"
    ":target{outline:2px solid #f90}";

enum class Shown { Image, Video, Audio, Link };

// How a browser can show a file: by its type, else by its name's ending. HEIC (shown by the
// JPEG beside it, where one could be made) and AMR are left to the user's own programs:
// browsers show neither.
Shown shownAs(const MessageAttachment& attachment, std::string_view name) {
    const std::string_view type = attachment.mimeType;
    auto any = [&](std::initializer_list<std::string_view> endings) {
        for (std::string_view ending : endings)
            if (hasEnding(name, ending)) return true;
        return false;
    };
    if (isHeifImage(type, name)) return Shown::Link;
    if (type.starts_with("image/") || any({".jpg", ".jpeg", ".png", ".gif", ".webp", ".bmp"}))
        return Shown::Image;
    if (type.starts_with("video/") || any({".mp4", ".mov", ".m4v", ".webm"})) return Shown::Video;
    if (type == "audio/amr" || any({".amr"})) return Shown::Link;
    if (type.starts_with("audio/") ||
        any({".m4a", ".mp3", ".wav", ".aac", ".ogg", ".opus", ".caf"}))
        return Shown::Audio;
    return Shown::Link;
}

// Text with its line breaks kept by the style, not by markup.
void appendText(std::string& html, std::string_view cssClass, std::string_view text) {
    html.append("<p class=\"").append(cssClass).append("\">");
    appendHtmlEscaped(html, text);
    html.append("</p>");
}

class PageWriter {
  public:
    PageWriter(const ExportedConversation& conversation, const OpenFolder& folder,
               std::size_t messagesPerPage)
        : conversation_(conversation), folder_(folder), messagesPerPage_(messagesPerPage) {}

    Result<std::vector<std::uint32_t>> run() {
        const auto& messages = conversation_.messages;
        pageOf_.reserve(messages.size());
        std::string block;
        for (std::size_t index = 0; index < messages.size(); ++index) {
            block.clear();
            appendMessageBlock(block, index);
            if (inPage_ > 0 &&
                (inPage_ >= messagesPerPage_ || body_.size() + block.size() > mostPageBytes)) {
                if (Status written = finishPage(true); !written) return written.error();
            }
            body_.append(block);
            ++inPage_;
            pageOf_.push_back(static_cast<std::uint32_t>(page_));
        }
        if (Status written = finishPage(false); !written) return written.error();
        return std::move(pageOf_);
    }

  private:
    Status finishPage(bool more) {
        std::string html = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>";
        const std::string title = shownTitle(*conversation_.outline);
        appendHtmlEscaped(html, title);
        if (page_ > 1 || more) html.append(" – page ").append(std::to_string(page_));
        html.append("</title><style>").append(pageStyle).append("</style></head><body><h1>");
        appendHtmlEscaped(html, title);
        html.append("</h1>");
        const std::string links = navigation(more);
        html.append(links).append("<main>").append(body_).append("</main>").append(links);
        html.append("</body></html>\n");
        body_.clear();
        inPage_ = 0;
        Status written = writeAtomically(std::as_bytes(std::span(html.data(), html.size())),
                                         folder_, pageName(page_));
        ++page_;
        return written;
    }

    std::string navigation(bool more) const {
        std::string html = "<nav><a href=\"../index.html\">All conversations</a>";
        if (page_ > 1)
            html.append(" · <a rel=\"prev\" href=\"")
                .append(pageName(page_ - 1))
                .append("\">Earlier</a>");
        if (more)
            html.append(" · <a rel=\"next\" href=\"")
                .append(pageName(page_ + 1))
                .append("\">Later</a>");
        return html.append(" · page ").append(std::to_string(page_)).append("</nav>");
    }

    void appendHeader(std::string& html, std::size_t index) const {
        const Message& message = conversation_.messages[index];
        html.append("<div class=\"h\"><span class=\"s\">");
        appendHtmlEscaped(html, messageSenderName(conversation_, message));
        html.append("</span> <time>");
        html.append(conversation_.shownDates[index]);
        html.append("</time>");
        if (message.edited) html.append(" <span class=\"flag\">edited</span>");
        if (message.unsent) html.append(" <span class=\"flag\">unsent</span>");
        html.append("</div>");
    }

    void appendQuote(std::string& html, std::size_t target) const {
        const Message& quoted = conversation_.messages[target];
        html.append("<blockquote class=\"q\">");
        // A message on a page already written is linked; a later one only quoted.
        const bool linked = target < pageOf_.size();
        if (linked)
            html.append("<a href=\"")
                .append(pageName(pageOf_[target]))
                .append("#m")
                .append(std::to_string(target))
                .append("\">");
        appendHtmlEscaped(html, messageSenderName(conversation_, quoted));
        html.append(": ");
        std::string_view text = quoted.text                   ? std::string_view(*quoted.text)
                                : quoted.note                 ? std::string_view(*quoted.note)
                                : !quoted.attachments.empty() ? std::string_view("Attachment")
                                                              : std::string_view("Message");
        constexpr std::size_t quoteLength = 200;
        if (text.size() > quoteLength) {
            std::size_t cut = quoteLength;
            // Never cut a UTF-8 sequence.
            while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
            appendHtmlEscaped(html, text.substr(0, cut));
            html.append("…");
        } else {
            appendHtmlEscaped(html, text);
        }
        if (linked) html.append("</a>");
        html.append("</blockquote>");
    }

    void appendAttachments(std::string& html, std::size_t index) const {
        const Message& message = conversation_.messages[index];
        for (std::size_t i = 0; i < message.attachments.size(); ++i) {
            const MessageAttachment& attachment = message.attachments[i];
            const auto& saved = conversation_.saved.at(index).at(i);
            if (!saved) {
                html.append("<p class=\"missing\">");
                appendHtmlEscaped(html, attachmentName(attachment));
                html.append(" (").append(conversation_.notSaved).append(")</p>");
                continue;
            }
            const std::string source = htmlEscaped(urlPathEscaped("attachments/" + saved->name));
            const std::string name = htmlEscaped(saved->name);
            // A HEIC shows as the JPEG made beside it, which links the original.
            const std::string image =
                saved->browserImage
                    ? htmlEscaped(urlPathEscaped("attachments/" + *saved->browserImage))
                    : source;
            switch (saved->browserImage ? Shown::Image : shownAs(attachment, saved->name)) {
                case Shown::Image:
                    html.append("<a href=\"")
                        .append(source)
                        .append("\"><img src=\"")
                        .append(image)
                        .append("\" alt=\"")
                        .append(name)
                        .append("\" loading=\"lazy\"></a>");
                    break;
                case Shown::Video:
                    html.append("<video controls preload=\"none\" src=\"")
                        .append(source)
                        .append("\"></video>");
                    break;
                case Shown::Audio:
                    html.append("<audio controls preload=\"none\" src=\"")
                        .append(source)
                        .append("\"></audio>");
                    break;
                case Shown::Link:
                    break;
            }
            html.append("<p><a href=\"")
                .append(source)
                .append("\">")
                .append(name)
                .append("</a></p>");
        }
    }

    void appendMessageBlock(std::string& html, std::size_t index) const {
        const Message& message = conversation_.messages[index];
        const std::string anchor = "m" + std::to_string(index);
        if (message.event) {
            html.append("<div class=\"e\" id=\"").append(anchor).append("\"><time>");
            html.append(conversation_.shownDates[index]);
            html.append("</time> ");
            appendHtmlEscaped(html, *message.event);
            html.append("</div>\n");
            return;
        }
        html.append("<div class=\"m")
            .append(message.fromMe ? " me" : "")
            .append("\" id=\"")
            .append(anchor)
            .append("\">");
        appendHeader(html, index);
        if (message.replyTo && *message.replyTo < conversation_.messages.size())
            appendQuote(html, *message.replyTo);
        if (message.text) appendText(html, "t", *message.text);
        if (message.note) appendText(html, "t note", *message.note);
        if (message.location) {
            const std::string latitude = coordinateText(message.location->latitude);
            const std::string longitude = coordinateText(message.location->longitude);
            html.append("<p class=\"t\"><a href=\"https://www.openstreetmap.org/?mlat=")
                .append(latitude)
                .append("&amp;mlon=")
                .append(longitude)
                .append("#map=16/")
                .append(latitude)
                .append("/")
                .append(longitude)
                .append("\">Location: ")
                .append(latitude)
                .append(", ")
                .append(longitude)
                .append("</a></p>");
        }
        appendAttachments(html, index);
        if (!message.reactions.empty()) {
            html.append("<div class=\"r\">");
            for (const Reaction& reaction : message.reactions) {
                html.append("<span>");
                appendHtmlEscaped(html, reaction.emoji.empty() ? reaction.kind : reaction.emoji);
                html.append(" ");
                appendHtmlEscaped(html, senderName(conversation_, reaction.sender));
                html.append("</span> ");
            }
            html.append("</div>");
        }
        html.append("</div>\n");
    }

    const ExportedConversation& conversation_;
    const OpenFolder& folder_;
    std::size_t messagesPerPage_;
    std::size_t page_ = 1;
    std::size_t inPage_ = 0;
    std::string body_;
    std::vector<std::uint32_t> pageOf_;
};

}  // namespace

std::string pageName(std::size_t page) { return "page-" + std::to_string(page) + ".html"; }

Result<std::vector<std::uint32_t>> writeConversationPages(const ExportedConversation& conversation,
                                                          const OpenFolder& folder,
                                                          std::size_t messagesPerPage) {
    return PageWriter(conversation, folder, messagesPerPage == 0 ? 1 : messagesPerPage).run();
}

}  // namespace salvora
