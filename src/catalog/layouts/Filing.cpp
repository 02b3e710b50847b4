#include "catalog/layouts/Filing.h"

#include "foundation/Path.h"

namespace salvora {

void fileEachPropertyList(const std::vector<std::string>& names, const std::string& directory,
                          ApplicationMap& applications, PropertyListFiling file) {
    for (const std::string& name : names) {
        file(name, PropertyList::dictionaryFromFile(appendingPathComponent(directory, name)),
             applications);
    }
}

}  // namespace salvora
