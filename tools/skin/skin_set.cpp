#include "skin_set.h"

#include "backgrounds.h"
#include "buttons.h"
#include "skin_ids.h"
#include "slider_bitmaps.h"
#include "small_bitmaps.h"

namespace skin {

namespace {

constexpr int kIconBmpSize = 32;
constexpr int kIconPngSize = 64;

void AddSlider(std::map<int, QImage>& skin, const QImage& background, const QRect& place,
               const SliderGeometry& geometry, int channel, int active_channel, int thumb,
               int active_thumb) {
  const QImage backdrop = background.copy(QRect(place.topLeft(), geometry.channel));
  skin[channel] = PaintChannel(geometry, backdrop, false);
  skin[active_channel] = PaintChannel(geometry, backdrop, true);
  skin[thumb] = PaintThumb(geometry, false);
  skin[active_thumb] = PaintThumb(geometry, true);
}

}  // namespace

std::map<int, QImage> BuildSkin() {
  std::map<int, QImage> skin;
  const QImage normal_background = PaintNormalBackground();
  const QImage mini_background = PaintMiniBackground();
  skin[kBmpNormalBackground] = normal_background;
  skin[kBmpMiniBackground] = mini_background;

  for (const ButtonRecipe& recipe : ButtonRecipes()) {
    skin[recipe.id] = PaintButton(recipe, normal_background, mini_background);
  }

  AddSlider(skin, normal_background, normal::kVolume, kNormalSlider, kBmpChannel, kBmpActiveChannel,
            kBmpThumb, kBmpActiveThumb);
  AddSlider(skin, mini_background, mini::kVolume, kMiniSlider, kBmpMiniChannel,
            kBmpMiniActiveChannel, kBmpMiniThumb, kBmpMiniActiveThumb);

  for (int lit = 0; lit < kLevelMeterCount; ++lit) {
    skin[kBmpLevelMeter0 + lit] = PaintLevelMeter(lit);
  }

  skin[kBmpIcon] = PaintAppIcon(kIconBmpSize, true);
  return skin;
}

QImage BuildIconPng() {
  return PaintAppIcon(kIconPngSize, false);
}

QStringList SkinTexts() {
  QStringList texts = ButtonTexts();
  // Drawn into the normal background.
  texts << QStringLiteral("Lumio") << QStringLiteral("收音机") << QStringLiteral("0123456789");
  return texts;
}

}  // namespace skin
