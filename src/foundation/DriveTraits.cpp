#include "foundation/DriveTraits.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <string>

namespace salvora {

std::uint64_t folderDevice(int descriptor) {
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) return 0;
    return static_cast<std::uint64_t>(status.st_dev);
}

bool foldsLetterCase(const OpenFolder& folder) {
    static std::atomic<unsigned> counter{0};
    const std::string probe =
        ".salvora-case-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".probe";
    const int fd = ::openat(folder.descriptor(), probe.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    ::close(fd);
    std::string upper = probe;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    struct stat status {};
    const bool folds =
        ::fstatat(folder.descriptor(), upper.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
    ::unlinkat(folder.descriptor(), probe.c_str(), 0);
    return folds;
}

std::size_t longestName(const OpenFolder& folder) {
    const long longest = ::fpathconf(folder.descriptor(), _PC_NAME_MAX);
    return longest > 0 ? static_cast<std::size_t>(longest) : 255;
}

bool refusesName(int errorNumber) {
    return errorNumber == EINVAL || errorNumber == EILSEQ || errorNumber == ENOENT ||
           errorNumber == ENAMETOOLONG;
}

ErrorKind refusalKind(int errorNumber) {
    return errorNumber == ENAMETOOLONG ? ErrorKind::NameTooLong : ErrorKind::NameRefused;
}

}  // namespace salvora
