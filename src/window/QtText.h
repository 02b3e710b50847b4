#pragma once

// The core's UTF-8 text as Qt's strings.
#include <QString>
#include <string_view>

namespace salvora {

inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace salvora
