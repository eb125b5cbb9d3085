#pragma once
// The Windows Classic look, in one place. Controls work out their rectangles and state; these
// functions draw. Every line is a filled pixel rectangle, so edges stay crisp.

#include <cairo.h>

#include <cstdint>

#include "definition.h"
#include "geometry.h"

namespace tk::style {

void fill(cairo_t* cr, const Rect& r, std::uint32_t rgb);

// Draws a control border and returns the area inside it.
Rect border(cairo_t* cr, const Rect& r, Border kind);

// A two-colour 1-pixel edge: topLeft along the top and left, bottomRight along the others.
void edge(cairo_t* cr, const Rect& r, std::uint32_t topLeft, std::uint32_t bottomRight);

// The 3-pixel raised frame of a fixed window.
void windowFrame(cairo_t* cr, const Rect& outer);
void captionBar(cairo_t* cr, const Rect& bar, bool active);

enum class Glyph { Close, Minimize };
void captionButton(cairo_t* cr, const Rect& r, Glyph glyph, bool pressed);
void pushButton(cairo_t* cr, const Rect& r, bool pressed, bool isDefault);

// The dotted rectangle around whatever has the keyboard focus.
void focusRect(cairo_t* cr, const Rect& r);


// A Classic radio mark, 13 x 13: a sunken circle, white inside (grey while pressed), with a
// black dot when checked.
inline constexpr int kRadioMark = 13;
void radioMark(cairo_t* cr, const Rect& r, bool checked, bool pressed);

// The inside of a progress bar, the border already drawn: full up to fraction, as one bar or as
// blocks.
void progressFill(cairo_t* cr, const Rect& inner, double fraction, bool continuous);

// Tab control parts, in the colours of its look.
void tabButton(cairo_t* cr, const Rect& r, const TabLook& look, bool selected, bool hot);
void pageArea(cairo_t* cr, const Rect& r, const TabLook& look);

}  // namespace tk::style
