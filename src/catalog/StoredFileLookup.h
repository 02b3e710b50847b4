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
#include <string_view>

#include "catalog/model/Records.h"

namespace salvora {

// Absent when the catalogue holds no such file. Reads only the applications the file could lie
// in, one pass over each: nothing is built ahead, so a large catalogue costs nothing until asked.
std::optional<FileRecord> findStoredFile(const ApplicationMap& applications,
                                         std::string_view domain, std::string_view relativePath);

}  // namespace salvora
