#include "foundation/FileWindow.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace salvora {

std::optional<FileWindow> FileWindow::open(const std::string& path, std::size_t windowSize) {
    int errorNumber = 0;
    FileDescriptor file(openRegularFileForReading(path, 0, errorNumber));
    struct stat status {};
    if (!file.valid() || ::fstat(file.get(), &status) != 0) return std::nullopt;
    return FileWindow(std::move(file), static_cast<std::uint64_t>(status.st_size), windowSize);
}

std::optional<std::span<const std::byte>> FileWindow::read(std::uint64_t position,
                                                           std::size_t count) {
    if (position > size_ || count > size_ - position) return std::nullopt;
    const bool held =
        position >= start_ && count <= filled_ && position - start_ <= filled_ - count;
    if (!held) {
        const auto wanted = static_cast<std::size_t>(
            std::min<std::uint64_t>(std::max(windowSize_, count), size_ - position));
        if (buffer_.size() < wanted) buffer_.resize(wanted);
        std::size_t got = 0;
        while (got < wanted) {
            const ssize_t piece = ::pread(file_.get(), buffer_.data() + got, wanted - got,
                                          static_cast<off_t>(position + got));
            if (piece < 0 && errno == EINTR) continue;
            if (piece <= 0) break;
            got += static_cast<std::size_t>(piece);
        }
        start_ = position;
        filled_ = got;
        if (got < count) {
            failed_ = true;
            return std::nullopt;
        }
    }
    return std::span<const std::byte>(buffer_).subspan(static_cast<std::size_t>(position - start_),
                                                       count);
}

}  // namespace salvora
