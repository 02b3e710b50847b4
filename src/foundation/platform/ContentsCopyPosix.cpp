#include "foundation/FileDescriptor.h"
#include "foundation/platform/ContentsCopy.h"

namespace salvora {

bool copyContents(int source, int target) { return copyToEnd(source, target); }

}  // namespace salvora
