#pragma once
// The built-in skin bitmaps, addressed by their numeric ids.

#include <QImage>

namespace lumio {

// The skin bitmap `id` (":/skin/<id>.bmp"); a null image when the skin has no such bitmap.
QImage SkinBitmap(int id);

}  // namespace lumio
