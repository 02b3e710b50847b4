#include "support/ArchivedFileBlob.h"

namespace salvora::test {
namespace {

PlistValue archivedClass(const std::string& name, std::initializer_list<PlistValue> classes) {
    return PlistValue::dictionary(
        {{"$classname", PlistValue::string(name)}, {"$classes", PlistValue::array(classes)}});
}

}  // namespace

PlistValue archivedFilePlist(const ArchivedFileFields& fields) {
    // $objects: 0 "$null", 1 the MBFile, 2 its path, then the key's data object and its
    // class when there is a key, and the MBFile class last.
    const std::uint64_t keyObject = 3;
    const std::uint64_t fileClass = fields.encryptionKey ? 5 : 3;

    PlistValue file = PlistValue::dictionary({{"$class", PlistValue::uid(fileClass)},
                                              {"RelativePath", PlistValue::uid(2)},
                                              {"Mode", PlistValue::integer(fields.mode)},
                                              {"Flags", PlistValue::integer(0)},
                                              {"InodeNumber", PlistValue::integer(1234)},
                                              {"UserID", PlistValue::integer(501)},
                                              {"GroupID", PlistValue::integer(501)}});
    if (fields.size) file.set("Size", PlistValue::integer(*fields.size));
    if (fields.lastModified) file.set("LastModified", PlistValue::integer(*fields.lastModified));
    if (fields.protectionClass) {
        file.set("ProtectionClass", PlistValue::integer(*fields.protectionClass));
    }
    if (fields.encryptionKey) file.set("EncryptionKey", PlistValue::uid(keyObject));

    PlistValue objects = PlistValue::array(
        {PlistValue::string("$null"), file, PlistValue::string(fields.relativePath)});
    if (fields.encryptionKey) {
        objects.append(PlistValue::dictionary({{"NS.data", PlistValue::data(*fields.encryptionKey)},
                                               {"$class", PlistValue::uid(keyObject + 1)}}));
        objects.append(archivedClass(
            "NSMutableData", {PlistValue::string("NSMutableData"), PlistValue::string("NSData"),
                              PlistValue::string("NSObject")}));
    }
    objects.append(
        archivedClass("MBFile", {PlistValue::string("MBFile"), PlistValue::string("NSObject")}));

    return PlistValue::dictionary({{"$version", PlistValue::integer(100000)},
                                   {"$archiver", PlistValue::string("NSKeyedArchiver")},
                                   {"$top", PlistValue::dictionary({{"root", PlistValue::uid(1)}})},
                                   {"$objects", objects}});
}

std::vector<std::byte> archivedFileBlob(const ArchivedFileFields& fields) {
    return archivedFilePlist(fields).encode(PlistFormat::Binary);
}

}  // namespace salvora::test
