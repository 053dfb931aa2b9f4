#pragma once
// The number reader and the triple reader shared by FractInt .map and JASC
// .pal files.
#include <optional>

#include "palette/Palette.h"
#include "palette/PaletteStreams.h"

namespace velmora {

// The next number in the text: the first digit found after any other
// characters (signs and comments only separate), then up to two more digits.
// The character after the last digit is consumed, so the fourth digit of a
// longer run is lost. 0..999, or none when the text ends without a digit.
std::optional<int> readPaletteNumber(PaletteTextStream& in);

// Reads 256 red, green, blue triples into the palette in place, each value
// stored as its low 8 bits and a missing one as 255. After each blue number
// the rest of its line is skipped, so comments after a map's numbers are not
// read as colours. Fails when a triple has no blue number (the entries read
// so far stay written); reserved bytes are never touched.
bool readPaletteTriples(PaletteTextStream& in, Palette& palette);

}  // namespace velmora
