#pragma once

// The rows of one table of an SQLite database file, read straight from its pages. A listing of
// a million rows that needs only their first columns pays SQLite for far more: a system call
// and a copy into its cache per page, its virtual machine and a call per value. This reads the
// file in large pieces and decodes only the columns asked for.
//
// Only what a well-formed file holds is read: a page, cell or record that is not so makes the
// read fail, and the caller then asks SQLite, which knows every corner of the format. Text is
// taken only from databases whose text is UTF-8.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/FileWindow.h"

namespace salvora {

// A value of a row, as the file stores it.
struct StoredValue {
    enum class Kind { Null, Integer, Real, Text, Blob };
    Kind kind = Kind::Null;
    std::int64_t integer = 0;
    double real = 0;
    std::string_view bytes;  // of a text or a blob; valid during the row's visit
};

class SqliteTablePages {
  public:
    // Absent when the file is not an SQLite database with UTF-8 text and a sound header.
    static std::optional<SqliteTablePages> open(const std::string& path);

    // The leaf pages of the rowid table whose tree starts at `rootPage`, in rowid order; absent
    // when a page of the tree is damaged, visited twice or not of a rowid table.
    std::optional<std::vector<std::uint32_t>> leafPages(std::uint32_t rootPage);

    // Calls `visit(rowid, values)` for each row of `leaves`, in order, with the values of the
    // columns at `columns` (their places in the table), in that order. False when a page, cell
    // or record is damaged or a row lacks a column, or when one of several leaves holds no row;
    // the visits made before stand.
    using RowVisit = std::function<void(std::int64_t, std::span<const StoredValue>)>;
    bool readRows(std::span<const std::uint32_t> leaves, std::span<const std::size_t> columns,
                  const RowVisit& visit);

  private:
    SqliteTablePages(std::string path, FileWindow pages, std::size_t pageSize,
                     std::size_t usableSize, std::uint64_t pageCount)
        : path_(std::move(path)),
          pages_(std::move(pages)),
          pageSize_(pageSize),
          usableSize_(usableSize),
          pageCount_(pageCount) {}

    // Where the rest of a row's payload lies, and how much of it was followed.
    struct OverflowChain {
        std::uint32_t next;
        std::uint64_t payloadSize;
        std::uint64_t pagesRead = 0;
    };
    // Appends the chain's pages to `assembled` until it holds `wanted` bytes; false when the
    // chain is damaged or ends first.
    bool extend(OverflowChain& chain, std::size_t wanted, std::vector<std::byte>& assembled);

    // How deep the tree's leaves lie, the root at depth 1, by its leftmost path.
    std::optional<std::size_t> leafDepth(std::uint32_t rootPage);
    // The page's bytes up to its reserved tail, read through `file`.
    std::optional<std::span<const std::byte>> page(FileWindow& file, std::uint32_t number);
    std::uint64_t pageCount() const { return pageCount_; }

    std::string path_;
    FileWindow pages_;  // read a page at a time, for the pages of the tree and overflow pages
    std::size_t pageSize_;
    std::size_t usableSize_;
    std::uint64_t pageCount_;  // as SQLite counts them
};

}  // namespace salvora
