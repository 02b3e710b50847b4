#include "export/UniqueNames.h"

#include "recovery/SafeNames.h"

namespace salvora {

std::string UniqueNames::nameFor(std::string_view title, std::string_view fallback) {
    std::string base = nameForEverySystem(withoutSeparators(title));
    // A name of dots alone is no folder of its own; a leading dot would hide it.
    if (base.find_first_not_of(". ") == std::string::npos || base.front() == '.')
        base = nameForEverySystem(withoutSeparators(fallback));
    // Numbers go after the whole title: a dot in "Dr. Ada" starts no extension.
    for (unsigned number = 1;; ++number) {
        std::string name = number == 1 ? base
                                       : fittedName(base, portableNameLength - 12, LengthUnit::Bytes) +
                                             " (" + std::to_string(number) + ")";
        if (taken_.insert(letterCaseKey(name)).second) return name;
    }
}

}  // namespace salvora
