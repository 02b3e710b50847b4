#pragma once

// The rules by which a name from a phone becomes one a drive takes: Windows, and the exFAT, FAT
// and NTFS drives people carry files to other computers on, refuse characters, endings, device
// names and lengths that phones use. Each rule changes as little as it can, and the same name
// always gives the same result.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace salvora {

// How a drive counts a name's length: bytes of UTF-8 (Linux, macOS), or UTF-16 units (NTFS,
// exFAT, FAT).
enum class LengthUnit { Bytes, Utf16 };

// The longest name every system takes: 255 bytes, which are at most 255 UTF-16 units too.
inline constexpr std::size_t portableNameLength = 255;

// The name with what Windows refuses made acceptable: each of : ? " * | < > \ becomes its
// full-width look-alike ("a:b" gives "a：b"), a control character or a byte that is no UTF-8
// becomes "_", a trailing dot or space gets a "_" after it, and a device name (CON, PRN, AUX,
// NUL, COM1-9, LPT1-9, in any case, with or without an extension) gets a "_" after its device
// part ("con.txt" gives "con_.txt"). A name that needs none of it comes back as it is.
std::string portableName(std::string_view name);

// The name as every system takes it: portableName, fitted to portableNameLength bytes.
std::string nameForEverySystem(std::string_view name);

// The length of a name in the unit.
std::size_t nameLength(std::string_view name, LengthUnit unit);

// The name cut to at most `limit` units: the stem is shortened and the extension kept (unless
// the extension alone leaves no room), a UTF-8 sequence is never cut, and a stem cut short loses
// the dots and spaces it then ends with.
std::string fittedName(std::string_view name, std::size_t limit, LengthUnit unit);

// "IMG_0001.HEIC" as its `number`-th choice: "IMG_0001 (2).HEIC", "IMG_0001 (3).HEIC"…, the
// stem shortened to fit `limit` units with its number; the first is the name itself.
std::string numberedName(std::string_view name, unsigned number, std::size_t limit = SIZE_MAX,
                         LengthUnit unit = LengthUnit::Bytes);

// The name case-folded: names a drive that ignores letter case holds only once have one key.
std::string letterCaseKey(std::string_view name);

// The stem and the extension with its dot ("a.tar.gz": "a.tar", ".gz"); a name's leading dot
// starts no extension.
std::pair<std::string_view, std::string_view> stemAndExtension(std::string_view name);

// The name with "/" and NUL, which no system takes inside a name, as "_".
std::string withoutSeparators(std::string_view name);

// A name from a phone's database as one plain file name: withoutSeparators, and a name that would
// mean a folder ("", ".", "..") becomes `fallback` made plain the same way.
std::string plainFileName(std::string_view name, std::string_view fallback = "_");

}  // namespace salvora
