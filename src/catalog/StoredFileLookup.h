#pragma once

// The record of a file the device kept at (domain, relative path), found in a catalogue of any
// layout. Each layout files such a file its own way, and the lookup knows them all:
// - Manifest.db and the database without index group containers by the application owning
//   them (ContainerFiler.h): the file lies with the application that gathered its domain, its
//   full path the container's head and the relative path ("App Groups/GID/ChatStorage.sqlite").
// - The manifest database names the application by the domain's last piece
//   (applicationNameForDomain) and keeps the relative path; the stored name, SHA-1 of
//   "domain-path", tells two domains of one name apart.
// - ".mdinfo" files name it by the domain without "AppDomain-", the full path "domain/path".
// - ".mdbackup" lists record no domain: the path alone, its first piece naming the application.
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "foundation/StringHash.h"

#include "catalog/model/Records.h"

namespace salvora {

// Absent when the catalogue holds no such file. Reads only the applications the file could lie
// in, one pass over each: nothing is built ahead, so a large catalogue costs nothing until asked.
std::optional<FileRecord> findStoredFile(const ApplicationMap& applications,
                                         std::string_view domain, std::string_view relativePath);

// The same look-up for many files: each domain's candidates are gathered in one pass the first
// time the domain is asked for, so a thousand attachments cost one pass, not a thousand.
class StoredFileIndex {
  public:
    explicit StoredFileIndex(const ApplicationMap& applications) : applications_(applications) {}

    // As findStoredFile(applications, domain, relativePath).
    std::optional<FileRecord> find(std::string_view domain, std::string_view relativePath);

    // The relative paths of the domain's files below `folder` ("Library/SMS/Parts/"), for files
    // the device named by what they hold rather than at a place a database records; each once,
    // sorted. The ".mdbackup" lists, which keep no domain, are not asked.
    std::vector<std::string> relativePathsBelow(std::string_view domain, std::string_view folder);

  private:
    // The records of the applications the domain's files could lie in, by full path, in the
    // order findStoredFile tries them.
    struct DomainFiles {
        std::unordered_map<std::string, std::vector<FileRecord>, StringHash, std::equal_to<>>
            grouped, indexed, mdinfo;
    };

    const DomainFiles& filesOf(std::string_view domain);

    const ApplicationMap& applications_;
    std::unordered_map<std::string, DomainFiles, StringHash, std::equal_to<>> domains_;
};

}  // namespace salvora
