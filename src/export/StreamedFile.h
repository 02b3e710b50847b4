#pragma once

// A file of an export written piece by piece as its parts are made (a JSON file of a whole
// export, written one conversation at a time), so that no export is held in memory whole. Like
// every file made through FileWriting.h, it takes its name only once complete.
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "foundation/Error.h"
#include "foundation/OpenFolder.h"

namespace salvora {

// Collects what is written and hands it to the file in large pieces.
class StreamedOutput {
  public:
    StreamedOutput(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

    void write(std::string_view text);
    // Hands the rest to the file; the first failure of any write so far.
    Status flush();

  private:
    int fd_;
    std::string path_;  // for messages
    std::string buffer_;
    int failure_ = 0;  // errno of the first failed write
};

// Makes the new file `name` in `folder` from what `write` writes; an error `write` returns
// stops the making and leaves no file.
Status streamFile(const OpenFolder& folder, std::string_view name,
                  const std::function<Status(StreamedOutput&)>& write);

}  // namespace salvora
