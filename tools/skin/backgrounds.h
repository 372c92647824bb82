#pragma once
// The two window backgrounds. Buttons and the slider channels are cut from these, so anything
// drawn here under a control rectangle also shows around that control's face.

#include <QImage>

namespace skin {

// Background 131: the normal window, 300 x 581 (the window shows the top 580 rows).
QImage PaintNormalBackground();

// Background 178: the mini bar, 400 x 34.
QImage PaintMiniBackground();

}  // namespace skin
