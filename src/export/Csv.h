#pragma once

// Comma-separated values as RFC 4180 writes them: CRLF after every record, a field quoted when
// it holds a comma, a quote or a line break, its quotes doubled.
#include <string>
#include <string_view>
#include <vector>

namespace salvora {

// The field as it goes in a record.
std::string csvField(std::string_view field);

// One record, CRLF ended, appended to `out`.
void appendCsvRecord(std::string& out, const std::vector<std::string>& fields);

}  // namespace salvora
