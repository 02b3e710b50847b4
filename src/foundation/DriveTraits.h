#pragma once

// What the file system under an open folder takes, asked of the file system itself rather than
// read from a list of their names: which file system it is, whether it tells letter case apart,
// how long a name may be, and which errors say that a name was refused.
#include <cstddef>
#include <cstdint>

#include "foundation/Error.h"
#include "foundation/OpenFolder.h"

namespace salvora {

// The device of the file system of the open folder `descriptor`; 0 when it can't be asked.
[[nodiscard]] std::uint64_t folderDevice(int descriptor);

// Whether the file system finds a name under another letter case ("photo.jpg" as
// "PHOTO.JPG"), tried with a probe file of a name of its own, made and removed again. False when
// the probe can't be made.
[[nodiscard]] bool foldsLetterCase(const OpenFolder& folder);

// The longest name the file system says it takes, in bytes; 255 when it doesn't say.
[[nodiscard]] std::size_t longestName(const OpenFolder& folder);

// Whether the errno of making an entry under a name in an open folder says the name itself was
// refused: characters the file system doesn't take (EINVAL, EILSEQ, and ENOENT from a FUSE
// exFAT), or its length (ENAMETOOLONG). The folder is open, so ENOENT can't mean it is missing.
[[nodiscard]] bool refusesName(int errorNumber);

// The kind of a refusal refusesName recognises: NameTooLong or NameRefused.
[[nodiscard]] ErrorKind refusalKind(int errorNumber);

}  // namespace salvora
