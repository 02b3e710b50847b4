#include "export/StreamedFile.h"

#include <cerrno>
#include <span>

#include "foundation/FileDescriptor.h"
#include "foundation/FileWriting.h"

namespace salvora {
namespace {

constexpr std::size_t pieceSize = 1 << 20;

}  // namespace

void StreamedOutput::write(std::string_view text) {
    buffer_.append(text);
    if (buffer_.size() >= pieceSize && failure_ == 0) {
        if (!writeAll(fd_, std::as_bytes(std::span(buffer_.data(), buffer_.size()))))
            failure_ = errno;
        buffer_.clear();
    }
}

Status StreamedOutput::flush() {
    if (failure_ == 0 && !buffer_.empty() &&
        !writeAll(fd_, std::as_bytes(std::span(buffer_.data(), buffer_.size()))))
        failure_ = errno;
    buffer_.clear();
    if (failure_ != 0)
        return Error::fromErrno("Could not write", path_, failure_);
    return {};
}

Status streamFile(const OpenFolder& folder, std::string_view name,
                  const std::function<Status(StreamedOutput&)>& write) {
    return createFile(folder, name, [&](int fd) -> Status {
        StreamedOutput output(fd, folder.pathOf(name));
        Status written = write(output);
        Status flushed = output.flush();
        if (!written) return written;
        return flushed;
    });
}

}  // namespace salvora
