#include "foundation/FileWindow.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::TemporaryFolder;
using test::writeFile;

// Byte i of the file is i modulo 251, so every piece shows where it came from.
std::vector<std::byte> numberedBytes(std::size_t size) {
    std::vector<std::byte> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::byte>(i % 251);
    return bytes;
}

bool holds(std::optional<std::span<const std::byte>> piece, std::size_t position,
           std::size_t count) {
    if (!piece || piece->size() != count) return false;
    for (std::size_t i = 0; i < count; ++i)
        if ((*piece)[i] != static_cast<std::byte>((position + i) % 251)) return false;
    return true;
}

constexpr std::size_t mebibyte = std::size_t{1} << 20;

TEST(FileWindow, PiecesAtRisingPositionsAcrossTheWindow) {
    TemporaryFolder folder;
    writeFile(folder / "f", numberedBytes(3 * mebibyte + 17));
    auto file = FileWindow::open(folder / "f");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->size(), 3 * mebibyte + 17);
    for (std::size_t position : {std::size_t{0}, std::size_t{100}, mebibyte - 3, mebibyte + 5,
                                 2 * mebibyte, 3 * mebibyte + 7}) {
        EXPECT_TRUE(holds(file->read(position, 10), position, 10)) << position;
    }
    // Back to an earlier piece, and one larger than the window.
    EXPECT_TRUE(holds(file->read(40, 8), 40, 8));
    EXPECT_TRUE(holds(file->read(5, 2 * mebibyte), 5, 2 * mebibyte));
    EXPECT_FALSE(file->failed());
}

TEST(FileWindow, BeyondTheEndIsAbsentWithoutFailing) {
    TemporaryFolder folder;
    writeFile(folder / "f", numberedBytes(100));
    auto file = FileWindow::open(folder / "f");
    ASSERT_TRUE(file);
    EXPECT_TRUE(holds(file->read(90, 10), 90, 10));
    EXPECT_TRUE(holds(file->read(100, 0), 100, 0));
    EXPECT_FALSE(file->read(95, 6));
    EXPECT_FALSE(file->read(101, 0));
    EXPECT_FALSE(file->read(UINT64_MAX, 2));
    EXPECT_FALSE(file->read(2, SIZE_MAX));
    EXPECT_FALSE(file->failed());
}

TEST(FileWindow, AFileThatShrankSinceItWasOpenedFails) {
    TemporaryFolder folder;
    writeFile(folder / "f", numberedBytes(2 * mebibyte));
    auto file = FileWindow::open(folder / "f");
    ASSERT_TRUE(file);
    std::filesystem::resize_file(folder / "f", 1000);
    EXPECT_FALSE(file->read(mebibyte, 10));
    EXPECT_TRUE(file->failed());
}

TEST(FileWindow, OnlyRegularFilesOpen) {
    TemporaryFolder folder;
    std::filesystem::create_directory(folder / "folder");
    EXPECT_FALSE(FileWindow::open(folder / "folder"));
    EXPECT_FALSE(FileWindow::open(folder / "missing"));
}

}  // namespace
}  // namespace salvora
