#pragma once

// The details of Manifest.db's files, each read from its row's archived "file" blob the first
// time it is asked for: listing never needs them, a save or the file table only for some files.
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "catalog/layouts/manifest_db/ArchivedFileInfo.h"
#include "catalog/layouts/manifest_db/ManifestDbItems.h"
#include "catalog/model/Records.h"
#include "sqlite/SqliteDatabase.h"

namespace salvora {

class ManifestDbDetails final : public FileDetailsSource {
  public:
    // The database at `path`, opened read-only and immutable at the first question.
    explicit ManifestDbDetails(std::string path) : path_(std::move(path)) {}

    // The details of the row; none when the row or its blob can't be read.
    const FileDetails& details(std::int64_t rowid) const override;

    // What the row's blob says it is, by its Mode: how a row whose flags say nothing is
    // classed. Its details are kept, as a file's are asked for next.
    ManifestDbItem itemOfRow(std::int64_t rowid) const;

  private:
    ArchivedFileInfo read(std::int64_t rowid) const;

    std::string path_;
    mutable std::mutex mutex_;
    mutable bool opened_ = false;
    mutable std::optional<SqliteDatabase> database_;
    // Declared after the database, so that it is finalized before the database is closed.
    mutable Statement blobOfRow_;
    mutable std::unordered_map<std::int64_t, FileDetails> known_;
};

// A row's details as its archived "file" blob gives them.
FileDetails fileDetailsOf(ArchivedFileInfo info);

}  // namespace salvora
