#include "support/TemporaryFolder.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace salvora::test {
namespace fs = std::filesystem;

TemporaryFolder::TemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "salvora-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    // Tests may have taken permissions away; give them back so everything can go.
    for (auto it = fs::recursive_directory_iterator(path_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (!it->is_symlink(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(path_, ignored);
}

std::string TemporaryFolder::operator/(std::string_view relative) const {
    return path_ + "/" + std::string(relative);
}

std::vector<std::byte> bytesOf(std::string_view text) {
    auto first = reinterpret_cast<const std::byte*>(text.data());
    return {first, first + text.size()};
}

void writeFile(const std::string& path, std::span<const std::byte> bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("could not write " + path);
}

void writeFile(const std::string& path, std::string_view text) { writeFile(path, bytesOf(text)); }

std::vector<std::byte> readBytes(const std::string& path) {
    std::string text = readText(path);
    return bytesOf(text);
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("could not read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void setModificationTime(const std::string& path, int year, int month, int day, int hour,
                         int minute) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_isdst = -1;
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = std::mktime(&local);
    times[0].tv_nsec = times[1].tv_nsec = 0;
    if (::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        throw std::runtime_error("could not set the time of " + path);
}

std::int64_t modificationSeconds(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) throw std::runtime_error("no file at " + path);
    return status.st_mtim.tv_sec;
}

}  // namespace salvora::test
