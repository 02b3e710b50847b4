#pragma once

#include "plist/PropertyList.h"

namespace salvora {

// A data value decoded as a property list of its own (".mdinfo" "Metadata", "Manifest.plist"
// "Data"); absent when the value is absent, of another kind, or doesn't decode.
inline PropertyList embeddedPropertyList(const PropertyList& value) {
    auto bytes = value.data();
    return bytes ? PropertyList::fromData(*bytes) : PropertyList();
}

}  // namespace salvora
