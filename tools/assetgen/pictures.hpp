// The pictures themselves. Each function paints a complete image of the
// given size onto `cr`, whose surface starts out black (RGB) or transparent
// (RGBA).
#pragma once

#include <cairo.h>

namespace assetgen {

// Desktop wallpapers (opaque).
void paint_wallpaper_win7(cairo_t* cr, int width, int height);
void paint_wallpaper_win8(cairo_t* cr, int width, int height);
void paint_wallpaper_win10(cairo_t* cr, int width, int height);

// Desktop icons on a white background (opaque).
void paint_eye_monitor(cairo_t* cr, int width, int height);
void paint_u_drive(cairo_t* cr, int width, int height);

// The program's own icon on a transparent background; `size` is the edge
// length in pixels. Proportions are adjusted for small sizes.
void paint_program_icon(cairo_t* cr, int size);

}  // namespace assetgen
