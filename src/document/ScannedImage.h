#pragma once

#include <cstdint>
#include <vector>

class CKurvoDoc;

// Makes a scanned picture (a packed bitmap in any layout the bitmap reader accepts) the image
// of a new, empty document: through an image paste, after which the undo lists are cleared,
// since an acquired image is where the document starts. False when the bitmap is not sound.
// A sound bitmap in the program's own layout is taken over without a copy.
bool TakeScannedImage(CKurvoDoc& doc, std::vector<std::uint8_t> dib);
