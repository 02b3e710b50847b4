#include "catalog/layouts/Filing.h"

#include "foundation/Path.h"

namespace salvora {

LayoutReading fileEachPropertyList(const std::vector<std::string>& names,
                                   const std::string& directory, ApplicationMap& applications,
                                   PropertyListFiling file, std::string layout) {
    LayoutReading reading{std::move(layout)};
    for (const std::string& name : names) {
        PropertyList list = PropertyList::dictionaryFromFile(appendingPathComponent(directory, name));
        if (list.isPresent()) {
            ++reading.recordsRead;
        } else {
            ++reading.recordsSkipped;
            reading.damaged(name + " does not decode");
        }
        file(name, list, applications);
    }
    return reading;
}

}  // namespace salvora
