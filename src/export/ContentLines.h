#pragma once

// The content lines vCard (RFC 2426) and iCalendar (RFC 5545) are both written in:
// "NAME;PARAMETERS:VALUE", ending in CRLF, folded before 75 octets without cutting a UTF-8
// sequence, a text value escaped the same way in both.
#include <string>
#include <string_view>

namespace salvora {

// A text value with "\", ",", ";" and line breaks escaped.
std::string contentText(std::string_view text);

// A parameter value without the characters none can hold: ";", ":", ",", a quote and controls.
std::string parameterValue(std::string_view value);

// A whole line appended to `out`, folded, with its CRLF.
void appendContentLine(std::string& out, std::string_view line);

// A parameter value in quotes, which may hold ";", ":" and "," but no quote or control.
std::string quotedParameterValue(std::string_view value);

// The line appended to `out`, folded, with its CRLF; `value` is escaped already and `parameters`
// may be empty.
void appendContentLine(std::string& out, std::string_view name, std::string_view parameters,
                       std::string_view value);

}  // namespace salvora
