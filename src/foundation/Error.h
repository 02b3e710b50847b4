#pragma once

#include <optional>
#include <string>
#include <system_error>

namespace salvora {

// A failed operation, told as what was attempted, on which path, and why.
struct Error {
    std::string operation;  // "Could not copy \"/a\" to", "Could not create folder", ...
    std::string path;
    std::string reason;  // the system's own words, or ours where the system had none

    // "Could not create folder \"/x/y\": Permission denied"
    std::string description() const;

    static Error fromErrno(std::string operation, std::string path, int errnoValue);
    static Error fromCode(std::string operation, std::string path, std::error_code code);
};

// The error slot of an operation: empty when it succeeded.
using ErrorSlot = std::optional<Error>;

}  // namespace salvora
