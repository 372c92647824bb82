#pragma once
// A picture of the skin as the program will show it, for judging it by eye: both windows with
// every control in place (normal frames, then hover frames with the other faces), sample labels
// and list rows, and every bitmap laid out raw below.

#include <QImage>

#include <map>

namespace skin {

// The preview, enlarged `scale` times with whole pixels so single pixels stay visible.
QImage ComposePreview(const std::map<int, QImage>& skin, const QImage& icon, int scale);

}  // namespace skin
