#pragma once

// Copying a file's contents. Linux can leave the work to the file system (a reflink, FICLONE)
// or the kernel (copy_file_range); every other system reads and writes.

namespace salvora {

// Copies what is left of `source`, from its offset, to `target`; false with errno set on
// failure.
[[nodiscard]] bool copyContents(int source, int target);

}  // namespace salvora
