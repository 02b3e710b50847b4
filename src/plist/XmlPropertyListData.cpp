#include "plist/XmlPropertyListData.h"

#include <algorithm>

namespace salvora {
namespace {

constexpr std::string_view keyTag = "<key>";
constexpr std::string_view dataTag = "<data>";

// Markup whose text is not read as elements: a "<data>" inside must not start a value.
struct Verbatim {
    std::string_view opening;
    std::string_view closing;
};
constexpr Verbatim verbatims[] = {{"<!--", "-->"}, {"<![CDATA[", "]]>"}};

bool startsLikeXml(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    return first != std::string_view::npos && text[first] == '<';
}

}  // namespace

std::optional<std::string> keepingOnlyDataOf(std::span<const std::byte> bytes,
                                             std::initializer_list<std::string_view> keys) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!startsLikeXml(text)) return std::nullopt;
    std::string kept;
    std::size_t copied = 0;  // text before this is in `kept` or was left out
    std::string_view lastKey;
    // Text and base64 hold no "<", so every "<" opens markup.
    for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at)) {
        const std::string_view markup = text.substr(at);
        const auto verbatim =
            std::find_if(std::begin(verbatims), std::end(verbatims),
                         [markup](const Verbatim& v) { return markup.starts_with(v.opening); });
        if (verbatim != std::end(verbatims)) {
            const std::size_t end = text.find(verbatim->closing, at + verbatim->opening.size());
            if (end == std::string_view::npos) break;
            at = end + verbatim->closing.size();
            continue;
        }
        const std::size_t close = text.find('<', at + 1);
        if (markup.starts_with(keyTag)) {
            lastKey = text.substr(at + keyTag.size(), close - at - keyTag.size());
        } else if (markup.starts_with(dataTag) && close != std::string_view::npos &&
                   std::find(keys.begin(), keys.end(), lastKey) == keys.end()) {
            const std::size_t value = at + dataTag.size();
            kept.append(text.substr(copied, value - copied));
            copied = close;
        }
        at = close;
    }
    kept.append(text.substr(copied));
    return kept;
}

}  // namespace salvora
