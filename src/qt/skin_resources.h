#pragma once
// The built-in skin bitmaps, addressed by their numeric ids.

#include <QImage>

namespace lumio {

// Starts decoding every skin bitmap on a thread of its own, so that the window's construction
// finds them ready; the first SkinBitmap call waits for the rest. Call it once, early.
void DecodeSkinAhead();

// The skin bitmap `id` (":/skin/<id>.bmp"); a null image when the skin has no such bitmap.
QImage SkinBitmap(int id);

}  // namespace lumio
