#pragma once

// A Manifest.db backup shaped like a real iOS 14 backup decrypted by another tool: an Info.plist
// that lists the applications with no store metadata, and the containers such a phone leaves
// with no application of their own beside them: Apple's framework extensions, the widgets and
// groups of Apple's applications (Stocks, Weather, Tips, News), the group Google's applications
// share, a keyboard's settings group named apart from its application (Typewise), and the
// system's domains.
#include "support/BackupWriter.h"

namespace salvora::test {

void writeIos14Sample(BackupWriter& backup);

}  // namespace salvora::test
