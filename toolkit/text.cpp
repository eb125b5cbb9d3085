#include "text.h"

#include <string>

namespace tk {
namespace {

// Window definitions name Windows faces; these are the faces that stand in for them, tried
// in order, with the named face itself first in case the machine has it.
struct FaceAlias {
    std::string_view name;
    const char* families;
};

constexpr FaceAlias kFaceAliases[] = {
    {"", "WenQuanYi Micro Hei,Noto Sans CJK SC,Droid Sans Fallback,sans-serif"},
    {"宋体", "SimSun,AR PL UMing CN,AR PL SungtiL GB,Noto Serif CJK SC,serif"},
    {"SimSun", "SimSun,AR PL UMing CN,AR PL SungtiL GB,Noto Serif CJK SC,serif"},
};

int fontPixels(const Font& font) { return font.pixels > 0 ? font.pixels : kDefaultFontPixels; }

}  // namespace

PangoFontDescription* describeFont(const Font& font) {
    PangoFontDescription* desc = pango_font_description_new();
    std::string families(font.face);
    for (const FaceAlias& alias : kFaceAliases)
        if (alias.name == font.face) families = alias.families;
    if (!font.face.empty() && families == font.face) families += ",WenQuanYi Micro Hei,sans-serif";
    pango_font_description_set_family(desc, families.c_str());
    pango_font_description_set_absolute_size(desc, fontPixels(font) * PANGO_SCALE);
    pango_font_description_set_weight(desc, static_cast<PangoWeight>(font.weight));
    return desc;
}

namespace {

PangoContext* makeContext() {
    // A font map of our own: Pango's default one belongs to the thread that asks for it.
    PangoFontMap* map = pango_cairo_font_map_new();
    PangoContext* context = pango_font_map_create_context(map);
    g_object_unref(map);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);

    // Lay out a line in the faces every window starts with: the caption's and the labels'.
    for (int weight : {400, 700}) {
        PangoLayout* layout = pango_layout_new(context);
        PangoFontDescription* desc = describeFont({.face = {}, .pixels = kDefaultFontPixels, .weight = weight});
        pango_layout_set_font_description(layout, desc);
        pango_font_description_free(desc);
        pango_layout_set_text(layout, "开始 Windows", -1);
        PangoRectangle extents;
        pango_layout_get_pixel_extents(layout, nullptr, &extents);
        g_object_unref(layout);
    }
    return context;
}

}  // namespace

TextContext::TextContext() : loading_(std::async(std::launch::async, makeContext)) {}

TextContext::~TextContext() { g_object_unref(pango()); }

PangoContext* TextContext::pango() const {
    if (!context_) context_ = loading_.get();
    return context_;
}

TextBlock::~TextBlock() {
    if (layout_) g_object_unref(layout_);
}

void TextBlock::set(std::string_view text, const TextStyle& style) {
    text_.assign(text);
    style_ = style;
    if (layout_) g_object_unref(layout_);
    layout_ = nullptr;
}

PangoLayout* TextBlock::layout(const TextContext& ctx, int width) {
    const int wrapWidth = style_.wordWrap ? width : -1;
    if (layout_ && layoutWidth_ == wrapWidth) return layout_;
    if (!layout_) {
        layout_ = pango_layout_new(ctx.pango());
        PangoFontDescription* desc = describeFont(style_.font);
        pango_layout_set_font_description(layout_, desc);
        pango_font_description_free(desc);

        // '&' marks a mnemonic: Pango's markup parser does exactly that once the text is escaped.
        char* escaped = g_markup_escape_text(text_.data(), static_cast<gssize>(text_.size()));
        PangoAttrList* attrs = nullptr;
        char* plain = nullptr;
        if (pango_parse_markup(escaped, -1, '&', &attrs, &plain, nullptr, nullptr)) {
            pango_layout_set_text(layout_, plain, -1);
            pango_layout_set_attributes(layout_, attrs);
            pango_attr_list_unref(attrs);
            g_free(plain);
        } else {
            pango_layout_set_text(layout_, text_.data(), static_cast<int>(text_.size()));
        }
        g_free(escaped);
        // Lines are as high as the characters, as with the Song faces Windows dialogs use, so
        // two lines of 12-pixel text fit a 24-pixel label.
        PangoAttrList* lineAttrs = pango_layout_get_attributes(layout_);
        if (!lineAttrs) {
            lineAttrs = pango_attr_list_new();
            pango_layout_set_attributes(layout_, lineAttrs);
            pango_attr_list_unref(lineAttrs);
        }
        pango_attr_list_insert_before(lineAttrs, pango_attr_line_height_new_absolute(fontPixels(style_.font) * PANGO_SCALE));
        pango_layout_set_single_paragraph_mode(layout_, !style_.wordWrap);
        pango_layout_set_wrap(layout_, PANGO_WRAP_WORD_CHAR);
    }
    pango_layout_set_width(layout_, wrapWidth < 0 ? -1 : wrapWidth * PANGO_SCALE);
    if (style_.wordWrap) {
        pango_layout_set_alignment(layout_, style_.align == HAlign::Center  ? PANGO_ALIGN_CENTER
                                            : style_.align == HAlign::Right ? PANGO_ALIGN_RIGHT
                                                                            : PANGO_ALIGN_LEFT);
    }
    layoutWidth_ = wrapWidth;
    return layout_;
}

Size TextBlock::measure(const TextContext& ctx, int width) {
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout(ctx, width), nullptr, &logical);
    return {logical.width, logical.height};
}

void TextBlock::draw(cairo_t* cr, const TextContext& ctx, const Rect& box, std::uint32_t rgb) {
    if (text_.empty() || box.empty()) return;
    PangoLayout* l = layout(ctx, box.width);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(l, nullptr, &logical);

    int x = box.x, y = box.y;
    if (!style_.wordWrap) {
        // A single line is placed by hand, so that a line wider than the box is cut evenly
        // when centred and at the left edge when right-aligned, as Windows does.
        if (style_.align == HAlign::Center) x += (box.width - logical.width) / 2;
        if (style_.align == HAlign::Right) x += box.width - logical.width;
        x -= logical.x;
    }
    if (style_.valign == VAlign::Middle) y += (box.height - logical.height) / 2;
    if (style_.valign == VAlign::Bottom) y += box.height - logical.height;

    cairo_save(cr);
    cairo_rectangle(cr, box.x, box.y, box.width, box.height);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, l);
    cairo_restore(cr);
}

}  // namespace tk
