#pragma once

// Backups for salvora-cli's tests, written by the fixture writer: one of every layout with the
// same two files of one application, and a mixed one whose listings are compared exactly.
#include <string>
#include <vector>

#include "support/BackupWriter.h"

namespace salvora::test {

enum class Layout { ManifestDatabase, UnindexedDatabase, Mdbackup, Mdinfo, ManifestDb };

struct SavedFile {
    std::string fullpath;
    std::string contents;
};

// What a layout's backup holds: the application's name and its files in catalogue order.
struct LayoutBackup {
    std::string application;
    std::vector<SavedFile> files;
};

// An ".mdinfo" file whose outer dictionary gives the domain and the path.
inline MdinfoDescription mdinfo(std::string domain, std::string path) {
    MdinfoDescription description;
    description.domain = std::move(domain);
    description.path = std::move(path);
    return description;
}

inline std::string layoutName(Layout layout) {
    switch (layout) {
        case Layout::ManifestDatabase:
            return "ManifestDatabase";
        case Layout::UnindexedDatabase:
            return "UnindexedDatabase";
        case Layout::Mdbackup:
            return "Mdbackup";
        case Layout::Mdinfo:
            return "Mdinfo";
        case Layout::ManifestDb:
            return "ManifestDb";
    }
    return {};
}

// Two files of the application "notes" ("com.example.notes" in the modern layouts), one of them
// binary, in the given layout.
inline LayoutBackup writeLayoutBackup(const std::string& folder, Layout layout) {
    BackupWriter backup(folder);
    const std::string text = "alpha\n";
    const std::string binary("\x00\xff\x10 binary\r\n", 11);
    switch (layout) {
        case Layout::ManifestDatabase:
            backup.addManifestDatabaseFile("AppDomain-com.example.notes", "Documents/a.txt", text);
            backup.addManifestDatabaseFile("AppDomain-com.example.notes", "Library/b.db", binary);
            return {"notes", {{"Documents/a.txt", text}, {"Library/b.db", binary}}};
        case Layout::UnindexedDatabase:
            backup.addUnindexedDatabaseFile("AppDomain-com.example.notes", "Documents/a.txt", text);
            backup.addUnindexedDatabaseFile("AppDomain-com.example.notes", "Library/b.db", binary);
            return {"com.example.notes", {{"Documents/a.txt", text}, {"Library/b.db", binary}}};
        case Layout::Mdbackup:
            backup.addMdbackupFile("1.mdbackup", "notes/a.txt", text);
            backup.addMdbackupFile("2.mdbackup", "notes/Library/b.db", binary, PlistFormat::Binary);
            return {"notes", {{"notes/a.txt", text}, {"notes/Library/b.db", binary}}};
        case Layout::Mdinfo:
            backup.addMdinfoFile("1.mdinfo", mdinfo("AppDomain-notes", "Documents/a.txt"), text);
            backup.addMdinfoFile("2.mdinfo", mdinfo("AppDomain-notes", "Library/b.db"), binary);
            return {"notes",
                    {{"AppDomain-notes/Documents/a.txt", text},
                     {"AppDomain-notes/Library/b.db", binary}}};
        case Layout::ManifestDb:
            backup.addManifestDbFile("AppDomain-com.example.notes", "Documents/a.txt", text);
            backup.addManifestDbFile("AppDomain-com.example.notes", "Library/b.db", binary);
            return {"com.example.notes", {{"Documents/a.txt", text}, {"Library/b.db", binary}}};
    }
    return {};
}

}  // namespace salvora::test
