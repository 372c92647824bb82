#include "buttons.h"

#include "paint_util.h"
#include "palette.h"
#include "skin_ids.h"

#include <QPainterPath>

namespace skin {

namespace {

namespace pal = palette;

enum State { kNormalFrame = 0, kHoverFrame = 1, kPressedFrame = 2, kDisabledFrame = 3 };
constexpr int kFrames = 4;

// All rounded rectangles of the skin share these radii, by size class.
constexpr double kPillRadius = 4;
constexpr double kIconRadius = 3;

struct Look {
  QColor top;
  QColor bottom;
  QColor ring;
  QColor glyph;
  int sheen;  // alpha of the white sheen over the upper half
};

Look DarkFaceLook(State state) {
  switch (state) {
    case kNormalFrame:
      return {pal::kFaceTop, pal::kFaceBottom, pal::kFaceRing, pal::kGlyph, 26};
    case kHoverFrame:
      return {pal::kFaceHoverTop, pal::kFaceHoverBottom, pal::kFaceHoverRing, pal::kGlyphHover, 40};
    case kPressedFrame:
      return {Mix(pal::kFaceBottom, Qt::black, 0.25), pal::kFaceTop, pal::kFaceRing,
              pal::kGlyphPressed, 0};
    case kDisabledFrame:
      return {pal::kFaceTop, pal::kFaceBottom, Mix(pal::kFaceRing, pal::kFaceBottom, 0.5),
              pal::kGlyphDisabled, 10};
  }
  return {};
}

Look GreenFaceLook(State state) {
  const QColor ring = Mix(pal::kAccentDark, Qt::black, 0.35);
  switch (state) {
    case kNormalFrame:
      return {pal::kAccentLight, pal::kAccentDark, ring, Qt::white, 60};
    case kHoverFrame:
      return {Mix(pal::kAccentLight, Qt::white, 0.25),
              Mix(pal::kAccentDark, pal::kAccentLight, 0.4), ring, Qt::white, 80};
    case kPressedFrame:
      return {pal::kAccentDark, pal::kAccent, ring, Mix(Qt::white, pal::kAccentLight, 0.3), 0};
    case kDisabledFrame:
      return {QColor(96, 110, 100), QColor(60, 72, 64), ring, QColor(150, 162, 154), 20};
  }
  return {};
}

// The category buttons take the category list's own green.
Look SegmentLook(State state) {
  const QColor base = pal::kListGreen;
  const QColor ring = Mix(base, Qt::black, 0.55);
  switch (state) {
    case kNormalFrame:
      return {Mix(base, Qt::white, 0.1), Mix(base, Qt::black, 0.18), ring, QColor(236, 246, 236),
              36};
    case kHoverFrame:
      return {Mix(base, Qt::white, 0.32), Mix(base, Qt::white, 0.06), ring, Qt::white, 50};
    case kPressedFrame:
      return {Mix(base, Qt::black, 0.3), Mix(base, Qt::black, 0.1), ring, QColor(220, 234, 220), 0};
    case kDisabledFrame:
      return {QColor(96, 110, 100), QColor(70, 82, 74), ring, QColor(150, 162, 154), 20};
  }
  return {};
}

Look StripIconLook(State state, bool close) {
  // The strip is already light: hover lights a white plate under an unchanged glyph, so the
  // frame as a whole gets lighter, not darker.
  const QColor hover_glyph = close ? pal::kStripCloseHover : pal::kStripGlyph;
  switch (state) {
    case kNormalFrame:
      return {Qt::transparent, Qt::transparent, Qt::transparent, pal::kStripGlyph, 0};
    case kHoverFrame:
      return {pal::kStripHoverFace, Mix(pal::kStripHoverFace, pal::kStripTop, 0.5),
              pal::kStripHoverRing, hover_glyph, 0};
    case kPressedFrame:
      return {QColor(204, 217, 208), QColor(214, 226, 218), QColor(158, 178, 164),
              pal::kStripGlyphPressed, 0};
    case kDisabledFrame:
      return {Qt::transparent, Qt::transparent, Qt::transparent, QColor(172, 184, 176), 0};
  }
  return {};
}

Look BarIconLook(State state) {
  switch (state) {
    case kNormalFrame:
      return {Qt::transparent, Qt::transparent, Qt::transparent, QColor(178, 196, 184), 0};
    case kHoverFrame:
      return {pal::kFaceHoverTop, pal::kFaceHoverBottom, pal::kFaceHoverRing, pal::kGlyphHover, 30};
    case kPressedFrame:
      return {Mix(pal::kFaceBottom, Qt::black, 0.25), pal::kFaceTop, pal::kFaceRing,
              pal::kGlyphPressed, 0};
    case kDisabledFrame:
      return {Qt::transparent, Qt::transparent, Qt::transparent, pal::kGlyphDisabled, 0};
  }
  return {};
}

Look LookFor(const ButtonRecipe& recipe, State state) {
  switch (recipe.style) {
    case Face::kPrimaryRound:
      return GreenFaceLook(state);
    case Face::kSegmentLeft:
    case Face::kSegmentRight:
      return SegmentLook(state);
    case Face::kStripIcon:
      return StripIconLook(state, recipe.glyph == Glyph::kClose);
    case Face::kBarIcon:
      return BarIconLook(state);
    case Face::kRound:
    case Face::kPill:
      return DarkFaceLook(state);
  }
  return DarkFaceLook(state);
}

// Fills `shape` with the look's gradient, a sheen over its upper half and a one-pixel ring, and
// lays a faint shadow under it so that it lifts off the background.
void PaintSurface(QPainter& painter, const QPainterPath& shape, const Look& look, bool shadow) {
  if (look.top.alpha() == 0) return;
  const QRectF box = shape.boundingRect();
  if (shadow) painter.fillPath(shape.translated(0, 1), WithAlpha(Qt::black, 80));
  QLinearGradient fill(box.topLeft(), box.bottomLeft());
  fill.setColorAt(0, look.top);
  fill.setColorAt(1, look.bottom);
  painter.fillPath(shape, fill);
  if (look.sheen > 0) {
    QLinearGradient sheen(box.topLeft(), QPointF(box.left(), box.center().y()));
    sheen.setColorAt(0, WithAlpha(Qt::white, look.sheen));
    sheen.setColorAt(1, WithAlpha(Qt::white, 0));
    painter.fillPath(shape, sheen);
  }
  painter.strokePath(shape, QPen(look.ring, 1));
}

QPainterPath FaceShape(const ButtonRecipe& recipe, const QRectF& face) {
  QPainterPath shape;
  switch (recipe.style) {
    case Face::kPrimaryRound:
    case Face::kRound: {
      const double side = std::min(face.width(), face.height());
      // The play button is the biggest thing in the row; the others step back.
      const double diameter =
          recipe.style == Face::kPrimaryRound ? side - 2 : side - (side > 24 ? 6 : 4);
      const QPointF centre = face.center();
      shape.addEllipse(centre, diameter / 2 - 0.5, diameter / 2 - 0.5);
      break;
    }
    case Face::kPill:
      shape.addRoundedRect(face.adjusted(0.5, 0.5, -0.5, -1.5), kPillRadius, kPillRadius);
      break;
    case Face::kSegmentLeft:
    case Face::kSegmentRight: {
      // Two halves of one rounded bar: the rounding continues past the shared edge and is cut
      // there, so the joint is straight.
      const QRectF bar = face.adjusted(0.5, 0.5, -0.5, -1.5);
      const QRectF longer = recipe.style == Face::kSegmentLeft
                                ? bar.adjusted(0, 0, 2 * kPillRadius, 0)
                                : bar.adjusted(-2 * kPillRadius, 0, 0, 0);
      QPainterPath rounded;
      rounded.addRoundedRect(longer, kPillRadius, kPillRadius);
      QPainterPath clip;
      clip.addRect(face);
      shape = rounded.intersected(clip);
      break;
    }
    case Face::kStripIcon:
    case Face::kBarIcon:
      shape.addRoundedRect(face.adjusted(0.5, 0.5, -0.5, -0.5), kIconRadius, kIconRadius);
      break;
  }
  return shape;
}

QRectF GlyphBox(const ButtonRecipe& recipe, const QPainterPath& shape, const QRectF& face) {
  if (recipe.style == Face::kStripIcon || recipe.style == Face::kBarIcon) return face;
  const QRectF box = shape.boundingRect();
  const double fraction = recipe.style == Face::kPrimaryRound ? 0.5 : 0.56;
  const double side = std::round(std::min(box.width(), box.height()) * fraction);
  return QRectF(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
}

void PaintFace(QPainter& painter, const ButtonRecipe& recipe, State state) {
  const QRectF face(0, 0, recipe.face.width(), recipe.face.height());
  const Look look = LookFor(recipe, state);
  const QPainterPath shape = FaceShape(recipe, face);
  const bool shadow = recipe.style != Face::kStripIcon && recipe.style != Face::kBarIcon;
  PaintSurface(painter, shape, look, shadow);

  if (recipe.style == Face::kSegmentRight) {
    // The joint between the two category buttons.
    painter.fillRect(QRectF(0, 1, 1, face.height() - 3), WithAlpha(Qt::black, 90));
    painter.fillRect(QRectF(1, 1, 1, face.height() - 3), WithAlpha(Qt::white, 30));
  }

  if (!recipe.text.isEmpty()) {
    const bool symbol = recipe.text.size() == 1;
    const QFont font = symbol ? SkinFont(13, true) : SkinFont(12);
    QRectF text_box = recipe.style == Face::kSegmentLeft || recipe.style == Face::kSegmentRight ||
                              recipe.style == Face::kPill
                          ? face.adjusted(0, 0, 0, -1)
                          : shape.boundingRect();
    DrawCentredText(painter, text_box.translated(0, 1), recipe.text, WithAlpha(Qt::black, 90),
                    font);
    DrawCentredText(painter, text_box, recipe.text, look.glyph, font);
    return;
  }

  const QRectF box = GlyphBox(recipe, shape, face);
  const QPainterPath glyph = GlyphPath(recipe.glyph, box);
  painter.setPen(Qt::NoPen);
  if (recipe.style == Face::kPrimaryRound || recipe.style == Face::kRound) {
    painter.fillPath(glyph.translated(0, 1), WithAlpha(Qt::black, 70));
  }
  painter.fillPath(glyph, look.glyph);
  if (recipe.glyph == Glyph::kSpeakerMuted) {
    QColor cross = state == kHoverFrame ? Mix(pal::kMutedCross, Qt::white, 0.3) : pal::kMutedCross;
    if (state == kDisabledFrame) cross = pal::kGlyphDisabled;
    painter.fillPath(GlyphPath(Glyph::kMutedCross, box), cross);
  }
}

ButtonRecipe Normal(int id, QSize bitmap, QRect control, Face style, Glyph glyph,
                    QString text = {}) {
  const QSize frame(bitmap.width() / kFrames, bitmap.height());
  return {id,
          bitmap,
          control.size().boundedTo(frame),
          Backdrop::kNormal,
          control.topLeft(),
          style,
          glyph,
          std::move(text)};
}

ButtonRecipe Mini(int id, QSize bitmap, QRect control, Face style, Glyph glyph, QString text = {}) {
  ButtonRecipe recipe = Normal(id, bitmap, control, style, glyph, std::move(text));
  recipe.backdrop = Backdrop::kMini;
  return recipe;
}

// The face of a button that is never laid out (zero size) is its whole frame.
QRect Unplaced(QPoint at, QSize bitmap) {
  return QRect(at, QSize(bitmap.width() / kFrames, bitmap.height()));
}

}  // namespace

const std::vector<ButtonRecipe>& ButtonRecipes() {
  static const std::vector<ButtonRecipe> recipes = [] {
    const QSize transport(140, 35);
    const QSize text_button(200, 20);
    const QSize strip(64, 16);
    const QSize mini_transport(80, 20);
    const QSize bar(60, 15);
    // Buttons the layouts never show still get a proper face, on a plain part of the bar.
    const QPoint bottom_bar = normal::kFind.topLeft();
    return std::vector<ButtonRecipe>{
        Normal(kBmpContentCategories, {400, 25}, normal::kContentCategories, Face::kSegmentLeft,
               Glyph::kNone, QStringLiteral("综合")),
        Normal(kBmpRegionCategories, {400, 25}, normal::kRegionCategories, Face::kSegmentRight,
               Glyph::kNone, QStringLiteral("地域")),
        Normal(kBmpSettingsText, text_button, Unplaced(bottom_bar, text_button), Face::kPill,
               Glyph::kNone, QStringLiteral("设置")),
        Normal(kBmpAdd, text_button, Unplaced(bottom_bar, text_button), Face::kPill, Glyph::kNone,
               QStringLiteral("添加")),
        Normal(kBmpFind, text_button, normal::kFind, Face::kPill, Glyph::kNone,
               QStringLiteral("查找")),
        Normal(kBmpAbout, text_button, normal::kAbout, Face::kPill, Glyph::kNone,
               QStringLiteral("关于")),
        Normal(kBmpHidden1015, {240, 24}, Unplaced({120, 553}, {240, 24}), Face::kPill,
               Glyph::kNone, QStringLiteral("港澳")),
        Normal(kBmpPlay, transport, normal::kPlay, Face::kPrimaryRound, Glyph::kPlay),
        Normal(kBmpPause, transport, normal::kPlay, Face::kPrimaryRound, Glyph::kPause),
        Normal(kBmpStop, transport, normal::kStop, Face::kRound, Glyph::kStop),
        Normal(kBmpPrevious, transport, normal::kPrevious, Face::kRound, Glyph::kPrevious),
        Normal(kBmpNext, transport, normal::kNext, Face::kRound, Glyph::kNext),
        Normal(kBmpMute, transport, normal::kMute, Face::kRound, Glyph::kSpeaker),
        Normal(kBmpMuted, transport, normal::kMute, Face::kRound, Glyph::kSpeakerMuted),
        Normal(kBmpHelp, {80, 20}, normal::kHelp, Face::kRound, Glyph::kNone, QStringLiteral("?")),
        Normal(kBmpMinimise, strip, normal::kMinimise, Face::kStripIcon, Glyph::kMinimise),
        Normal(kBmpClose, strip, normal::kClose, Face::kStripIcon, Glyph::kClose),
        Normal(kBmpSettings, strip, normal::kSettings, Face::kStripIcon, Glyph::kMenu),
        Normal(kBmpModeSwitch, strip, normal::kModeSwitch, Face::kStripIcon, Glyph::kToMini),
        Mini(kBmpMiniSettingsText, mini_transport, Unplaced(mini::kPlay.topLeft(), mini_transport),
             Face::kRound, Glyph::kGear),
        Mini(kBmpMiniAbout, mini_transport, Unplaced(mini::kPlay.topLeft(), mini_transport),
             Face::kRound, Glyph::kNone, QStringLiteral("i")),
        Mini(kBmpMiniPlay, mini_transport, mini::kPlay, Face::kPrimaryRound, Glyph::kPlay),
        Mini(kBmpMiniPause, mini_transport, mini::kPlay, Face::kPrimaryRound, Glyph::kPause),
        Mini(kBmpMiniPrevious, mini_transport, mini::kPrevious, Face::kRound, Glyph::kPrevious),
        Mini(kBmpMiniNext, mini_transport, mini::kNext, Face::kRound, Glyph::kNext),
        Mini(kBmpMiniMinimise, bar, mini::kMinimise, Face::kBarIcon, Glyph::kMinimise),
        Mini(kBmpMiniClose, bar, mini::kClose, Face::kBarIcon, Glyph::kClose),
        Mini(kBmpMiniSettings, bar, mini::kSettings, Face::kBarIcon, Glyph::kMenu),
        Mini(kBmpMiniModeSwitch, bar, mini::kModeSwitch, Face::kBarIcon, Glyph::kToNormal),
    };
  }();
  return recipes;
}

QStringList ButtonTexts() {
  QStringList texts;
  for (const ButtonRecipe& recipe : ButtonRecipes()) {
    if (!recipe.text.isEmpty()) texts << recipe.text;
  }
  return texts;
}

QImage PaintButton(const ButtonRecipe& recipe, const QImage& normal_background,
                   const QImage& mini_background) {
  const QImage& background =
      recipe.backdrop == Backdrop::kNormal ? normal_background : mini_background;
  const int frame_width = recipe.bitmap.width() / kFrames;
  const QImage backdrop =
      background.copy(QRect(recipe.origin, QSize(frame_width, recipe.bitmap.height())));
  QImage image = NewCanvas(recipe.bitmap.width(), recipe.bitmap.height());
  QPainter painter(&image);
  PrepareSmooth(painter);
  for (int frame = 0; frame < kFrames; ++frame) {
    painter.save();
    painter.translate(frame * frame_width, 0);
    painter.setClipRect(QRect(0, 0, frame_width, recipe.bitmap.height()));
    painter.drawImage(0, 0, backdrop);
    PaintFace(painter, recipe, static_cast<State>(frame));
    painter.restore();
  }
  painter.end();
  return image;
}

}  // namespace skin
