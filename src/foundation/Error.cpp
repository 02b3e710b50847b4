#include "foundation/Error.h"

#include <cstring>

namespace salvora {

std::string Error::description() const { return operation + " \"" + path + "\": " + reason; }

Error Error::fromErrno(std::string operation, std::string path, int errnoValue) {
    return fromCode(std::move(operation), std::move(path),
                    std::error_code(errnoValue, std::generic_category()));
}

Error Error::fromCode(std::string operation, std::string path, std::error_code code) {
    return Error{std::move(operation), std::move(path), code.message()};
}

}  // namespace salvora
