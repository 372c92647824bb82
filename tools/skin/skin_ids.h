#pragma once
// Bitmap ids of the skin and the control rectangles of both window modes. The generator paints
// every button on a copy of the background under its control, so the rectangles here must agree
// with the program's layouts; the preview composer places the bitmaps with them as well.

#include <QRect>

namespace skin {

// Backgrounds and the icon.
inline constexpr int kBmpIcon = 128;
inline constexpr int kBmpNormalBackground = 131;
inline constexpr int kBmpMiniBackground = 178;

// Normal-mode buttons.
inline constexpr int kBmpClose = 133;
inline constexpr int kBmpMinimise = 137;
inline constexpr int kBmpModeSwitch = 139;
inline constexpr int kBmpContentCategories = 142;
inline constexpr int kBmpRegionCategories = 143;
inline constexpr int kBmpSettingsText = 144;
inline constexpr int kBmpAdd = 145;
inline constexpr int kBmpStop = 147;
inline constexpr int kBmpFind = 148;
inline constexpr int kBmpAbout = 149;
inline constexpr int kBmpHidden1015 = 153;
inline constexpr int kBmpMute = 154;
inline constexpr int kBmpNext = 155;
inline constexpr int kBmpPause = 156;
inline constexpr int kBmpPlay = 157;
inline constexpr int kBmpPrevious = 158;
inline constexpr int kBmpHelp = 159;
inline constexpr int kBmpSettings = 195;
inline constexpr int kBmpMuted = 197;

// Mini-mode buttons.
inline constexpr int kBmpMiniSettingsText = 171;
inline constexpr int kBmpMiniAbout = 172;
inline constexpr int kBmpMiniNext = 173;
inline constexpr int kBmpMiniPause = 174;
inline constexpr int kBmpMiniPlay = 175;
inline constexpr int kBmpMiniPrevious = 176;
inline constexpr int kBmpMiniModeSwitch = 183;
inline constexpr int kBmpMiniClose = 185;
inline constexpr int kBmpMiniMinimise = 187;
inline constexpr int kBmpMiniSettings = 190;

// Volume slider: channel, active channel, thumb, active thumb of each mode.
inline constexpr int kBmpChannel = 180;
inline constexpr int kBmpActiveChannel = 181;
inline constexpr int kBmpThumb = 182;
inline constexpr int kBmpActiveThumb = 179;
inline constexpr int kBmpMiniChannel = 191;
inline constexpr int kBmpMiniActiveChannel = 194;
inline constexpr int kBmpMiniThumb = 193;
inline constexpr int kBmpMiniActiveThumb = 192;

// Level meters: kBmpLevelMeter0 + n shows n lit bars of five.
inline constexpr int kBmpLevelMeter0 = 164;
inline constexpr int kLevelMeterCount = 6;

// Window sizes of the two modes; the normal background has one spare row.
inline constexpr int kNormalWidth = 300;
inline constexpr int kNormalHeight = 580;
inline constexpr int kNormalBackgroundHeight = 581;
inline constexpr int kMiniWidth = 400;
inline constexpr int kMiniHeight = 34;

// Control rectangles (x, y, width, height) of the normal window.
namespace normal {
inline constexpr QRect kBanner{20, 30, 200, 20};
inline constexpr QRect kPlayTime{260, 25, 30, 20};
inline constexpr QRect kStationName{10, 50, 200, 30};
inline constexpr QRect kStatus{210, 60, 80, 15};
inline constexpr QRect kPlay{20, 103, 35, 35};
inline constexpr QRect kStop{75, 103, 35, 35};
inline constexpr QRect kPrevious{115, 103, 35, 35};
inline constexpr QRect kNext{155, 103, 35, 35};
inline constexpr QRect kMute{205, 103, 35, 35};
inline constexpr QRect kVolume{60, 155, 180, 15};
inline constexpr QRect kSettings{kNormalWidth - 66, 2, 16, 16};
inline constexpr QRect kModeSwitch{kNormalWidth - 50, 2, 16, 16};
inline constexpr QRect kMinimise{kNormalWidth - 34, 2, 16, 16};
inline constexpr QRect kClose{kNormalWidth - 18, 2, 16, 16};
inline constexpr QRect kContentCategories{50, 180, 100, 20};
inline constexpr QRect kRegionCategories{150, 180, 100, 20};
inline constexpr QRect kCategoryList{8, 210, 52, 310};
inline constexpr QRect kStationList{60, 210, 240, 310};
inline constexpr QRect kFind{125, 530, 50, 20};
inline constexpr QRect kAbout{185, 530, 50, 20};
inline constexpr QRect kHelp{265, 530, 20, 20};
inline constexpr QRect kTitle{24, 6, 196, 14};
inline constexpr QRect kIcon{4, 4, 16, 16};
}  // namespace normal

// Control rectangles of the mini bar.
namespace mini {
inline constexpr QRect kPlay{30, 7, 20, 20};
inline constexpr QRect kPrevious{55, 7, 20, 20};
inline constexpr QRect kNext{80, 7, 20, 20};
inline constexpr QRect kVolume{105, 9, 80, 15};
inline constexpr QRect kStationName{190, 5, 175, 15};
inline constexpr QRect kStatus{190, 20, 90, 15};
inline constexpr QRect kBanner{280, 20, 85, 15};
inline constexpr QRect kSettings{kMiniWidth - 32, 17, 15, 15};
inline constexpr QRect kModeSwitch{kMiniWidth - 17, 17, 15, 15};
inline constexpr QRect kMinimise{kMiniWidth - 32, 2, 15, 15};
inline constexpr QRect kClose{kMiniWidth - 17, 2, 15, 15};
inline constexpr QRect kIcon{4, 4, 16, 16};
}  // namespace mini

}  // namespace skin
