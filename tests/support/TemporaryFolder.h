#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace salvora::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TemporaryFolder {
  public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& path() const { return path_; }
    // path() joined with a relative path.
    std::string operator/(std::string_view relative) const;

  private:
    std::string path_;
};

std::vector<std::byte> bytesOf(std::string_view text);
// Writes a file, creating its folders.
void writeFile(const std::string& path, std::span<const std::byte> bytes);
void writeFile(const std::string& path, std::string_view text);
std::vector<std::byte> readBytes(const std::string& path);
std::string readText(const std::string& path);
// Sets a file's or folder's modification time to a local date and time.
void setModificationTime(const std::string& path, int year, int month, int day, int hour,
                         int minute);
// A file's modification time in whole seconds since 1970; the link itself for a link.
std::int64_t modificationSeconds(const std::string& path);

}  // namespace salvora::test
