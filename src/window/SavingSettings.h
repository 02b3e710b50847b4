#pragma once

// What the user chose for every save, kept for the next starts.
namespace salvora {

// File → "Portable File Names": every name made safe for every system up front.
bool portableNamesChosen();
void choosePortableNames(bool portable);

}  // namespace salvora
