#include "export/ContentLines.h"

namespace salvora {
namespace {

// Both formats fold lines longer than 75 octets; the break goes before a UTF-8 lead byte.
constexpr std::size_t foldWidth = 75;

bool continuesSequence(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

}  // namespace

void appendContentLine(std::string& out, std::string_view line) {
    std::size_t width = foldWidth;
    while (line.size() > width) {
        std::size_t cut = width;
        while (cut > 1 && continuesSequence(line[cut])) --cut;
        out.append(line.substr(0, cut));
        out += "\r\n ";
        line.remove_prefix(cut);
        width = foldWidth - 1;  // the space that starts a continuation counts
    }
    out.append(line);
    out += "\r\n";
}

std::string contentText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t index = 0; index < text.size(); ++index) {
        const char c = text[index];
        switch (c) {
            case '\\':
            case ',':
            case ';':
                escaped += '\\';
                escaped += c;
                break;
            case '\r':
                if (index + 1 < text.size() && text[index + 1] == '\n') ++index;
                [[fallthrough]];
            case '\n':
                escaped += "\\n";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string parameterValue(std::string_view value) {
    std::string kept;
    for (const char c : value)
        if (c != '"' && c != ';' && c != ':' && c != ',' && static_cast<unsigned char>(c) >= 0x20 &&
            c != 0x7f)
            kept += c;
    return kept;
}

std::string quotedParameterValue(std::string_view value) {
    std::string quoted = "\"";
    for (const char c : value)
        if (c != '"' && static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) quoted += c;
    return quoted + "\"";
}

void appendContentLine(std::string& out, std::string_view name, std::string_view parameters,
                       std::string_view value) {
    std::string line(name);
    if (!parameters.empty()) line.append(";").append(parameters);
    line.append(":").append(value);
    appendContentLine(out, line);
}

}  // namespace salvora
