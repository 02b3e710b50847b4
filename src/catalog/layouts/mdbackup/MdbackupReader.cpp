#include "catalog/layouts/mdbackup/MdbackupReader.h"

#include "catalog/layouts/Filing.h"
#include "foundation/Path.h"
#include "foundation/Utf8Text.h"

namespace salvora {

std::string applicationNameForMdbackupPath(std::string_view path) {
    // Dropping components of an absolute path ends at the root, never at "", so the loop
    // below would not end: it runs on the path relative to the root instead.
    while (!path.empty() && path.front() == '/') path.remove_prefix(1);
    std::string shorter = deletingLastPathComponent(path);
    std::string name;
    while (!shorter.empty()) {
        name = std::move(shorter);
        shorter = deletingLastPathComponent(name);
    }
    return name;
}

void addMdbackupList(const std::string& name, const PropertyList& list,
                     ApplicationMap& applications) {
    // The contents are inside the list: one that doesn't decode has nothing to give back.
    if (list.kind() != PropertyList::Kind::Dictionary) return;
    const std::optional<std::string> fullpath = utf8Text(list["Path"].string());
    std::string application = fullpath ? applicationNameForMdbackupPath(*fullpath) : std::string();
    addFileCopyingTexts(*getOrCreateApplicationNamed(application, applications), name, fullpath,
                        true);
}

LayoutReading addMdbackupFiles(const std::vector<std::string>& names, const std::string& directory,
                               ApplicationMap& applications) {
    return fileEachPropertyList(names, directory, applications, addMdbackupList, ".mdbackup");
}

}  // namespace salvora
