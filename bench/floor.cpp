// The floor: a bare software window the size of the desktop, one colour and one line of
// text, presented once. Whatever the program takes beyond this is its own cost.

#include <SDL.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cstdio>

namespace {

constexpr int kWidth = 999;
constexpr int kHeight = 633;

void paint(SDL_Surface* surface) {
    cairo_surface_t* target = cairo_image_surface_create_for_data(
        static_cast<unsigned char*>(surface->pixels), CAIRO_FORMAT_RGB24, surface->w, surface->h, surface->pitch);
    cairo_t* cr = cairo_create(target);
    cairo_set_source_rgb(cr, 0x60 / 255.0, 0x60 / 255.0, 0x60 / 255.0);
    cairo_paint(cr);

    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string("WenQuanYi Micro Hei");
    pango_font_description_set_absolute_size(font, 12 * PANGO_SCALE);
    pango_layout_set_font_description(layout, font);
    pango_layout_set_text(layout, "系统环境检查完毕，重启以安装系统！", -1);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_move_to(cr, 16, 16);
    pango_cairo_show_layout(cr, layout);

    pango_font_description_free(font);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_flush(target);
    cairo_surface_destroy(target);
}

}  // namespace

int main() {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "quillon_floor: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("floor", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWidth, kHeight,
                                          SDL_WINDOW_BORDERLESS);
    SDL_Surface* surface = window ? SDL_GetWindowSurface(window) : nullptr;
    if (!surface) {
        std::fprintf(stderr, "quillon_floor: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    // Cairo's RGB24 is 32-bit XRGB; any other surface format would need a conversion the
    // floor does not pay for, so it is refused rather than measured wrongly.
    if (surface->format->BytesPerPixel != 4) {
        std::fprintf(stderr, "quillon_floor: the window surface is not 32-bit\n");
        SDL_Quit();
        return 1;
    }
    paint(surface);
    SDL_UpdateWindowSurface(window);

    for (SDL_Event e; SDL_WaitEvent(&e);) {
        if (e.type == SDL_QUIT || e.type == SDL_KEYDOWN) break;
        if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE) break;
        if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_EXPOSED) SDL_UpdateWindowSurface(window);
    }
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
