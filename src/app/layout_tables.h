#pragma once
// The two display modes as data: where every control goes, which skin bitmap each button wears,
// and the tooltips.

#include <cstdint>
#include <string>
#include <vector>

#include "ports/geometry.h"

namespace lumio {

inline constexpr int32_t kNormalWidth = 300;
inline constexpr int32_t kNormalHeight = 580;
inline constexpr int32_t kMiniWidth = 400;
inline constexpr int32_t kMiniHeight = 34;

// One control's place in client pixels, in the order the layout moves them.
struct ControlPlacement {
  int32_t id;
  Rect rect;
};

// The controls of the normal window and of the mini bar, in the order their layouts move them.
const std::vector<ControlPlacement>& NormalLayout();
const std::vector<ControlPlacement>& MiniLayout();

// Skin bitmaps of the buttons that keep one face in a mode, in the order they are set. The play
// button (and, in the normal window, the mute button) follow the playback state instead.
struct ButtonSkin {
  int32_t id;
  int32_t bitmapId;
};
const std::vector<ButtonSkin>& NormalButtonSkins();
const std::vector<ButtonSkin>& MiniButtonSkins();

// Tooltips, in the order they are registered; id 0 is the window itself. Texts are GBK.
struct ToolTip {
  int32_t id;
  std::string text;
};
const std::vector<ToolTip>& ToolTips();

}  // namespace lumio
