#include "catalog/Records.h"

namespace salvora {

std::shared_ptr<ApplicationRecord> getOrCreateApplicationNamed(std::string_view name,
                                                               ApplicationMap& applications) {
    if (auto found = applications.find(name); found != applications.end()) return found->second;
    auto record = std::make_shared<ApplicationRecord>();
    record->name = std::string(name);
    applications.emplace(record->name, record);
    return record;
}

}  // namespace salvora
