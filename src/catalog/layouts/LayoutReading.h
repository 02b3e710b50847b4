#pragma once

// What a layout reader made of a backup folder: which of its files it read, how many records
// it read and passed over, and why it stopped early, told once for people. A reader never
// fails the catalogue; this is how a backup that lists nothing can still say why.
#include <cstddef>
#include <string>
#include <utility>

namespace salvora {

struct LayoutReading {
    // No layout: the folder holds none of its files.
    LayoutReading() = default;
    explicit LayoutReading(std::string name) : layout(std::move(name)) {}

    std::string layout;  // the file or kind of file read: "Manifest.db", ".mdbackup", ...
    std::size_t recordsRead = 0;
    std::size_t recordsSkipped = 0;
    // The first damage met, as a sentence ("not a database", "cut off after 12 records");
    // empty when everything read was whole.
    std::string firstDamage;

    // Keeps the first damage only: what follows it is usually its consequence.
    void damaged(std::string sentence) {
        if (firstDamage.empty()) firstDamage = std::move(sentence);
    }
};

}  // namespace salvora
