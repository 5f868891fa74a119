#include "display/window_fields.h"

#include <algorithm>
#include <iterator>

#include "state/panel.h"

namespace korvel {

namespace {

constexpr int kStatusRowY = 250;

struct Place {
  Field field;
  int x;
  int y;
  const FontChoice* font;  // null: the font in force (the window's default before any is chosen)
};

constexpr Place kLayout[] = {
    {Field::Banner, 280, 10, nullptr},
    {Field::KeyHelp, 140, 380, nullptr},
    {Field::FunctionKeyHelp, 140, 405, nullptr},
    {Field::Mode, 50, 45, &kLargeFont},
    {Field::SMeter, 750, 45, nullptr},  // the reading's font is the one the large fields left
    {Field::SplitMark, 80, 150, nullptr},
    {Field::Frequency, 285, 150, nullptr},
    {Field::Preamp, 40, kStatusRowY, &kStatusRowFont},
    {Field::Attenuator, 170, kStatusRowY, &kStatusRowFont},
    {Field::NoiseBlanker, 240, kStatusRowY, &kStatusRowFont},
    {Field::NoiseReduction, 310, kStatusRowY, &kStatusRowFont},
    {Field::Notch, 360, kStatusRowY, &kStatusRowFont},
    {Field::Contour, 460, kStatusRowY, &kStatusRowFont},
    {Field::Processor, 550, kStatusRowY, &kStatusRowFont},
    {Field::VoxBreakIn, 620, kStatusRowY, &kStatusRowFont},
    {Field::Monitor, 690, kStatusRowY, &kStatusRowFont},
    {Field::Tone, 780, kStatusRowY, &kStatusRowFont},
};

const Place* placeOf(Field field) {
  const auto* it =
      std::find_if(std::begin(kLayout), std::end(kLayout), [field](const Place& at) { return at.field == field; });
  return it == std::end(kLayout) ? nullptr : it;
}

// A field's own font is chosen only when another is in force: the status row's fields share one.
void useFont(Panel& p, const FontChoice& font) {
  const auto& d = p.display;
  if (d.fontFace == font.face && d.fontPoints == font.points && d.fontWeight == font.weight) return;
  setFont(p, font);
}

}  // namespace

void showField(Panel& p, Field field, std::string_view text) {
  if (const Place* place = placeOf(field)) moveTo(p, place->x, place->y);
  showFieldHere(p, field, text);
}

void showFieldHere(Panel& p, Field field, std::string_view text) {
  if (const Place* place = placeOf(field); place != nullptr && place->font != nullptr) useFont(p, *place->font);
  p.display.field = field;
  p.display.fieldBegun = false;
  printText(p, text);
}

}  // namespace korvel
