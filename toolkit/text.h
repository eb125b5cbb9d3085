#pragma once
// Text drawn the way labels, tabs and buttons draw it: a face, a colour, horizontal and
// vertical placement of the whole block, optional word wrap (CR LF breaks lines), and '&'
// mnemonics ("&&" draws one ampersand). The shaped layout is kept until the text or its style
// changes. Labels that wrap place their text at the top.

#include <pango/pangocairo.h>

#include <future>
#include <string>
#include <string_view>

#include "color.h"
#include "font.h"
#include "geometry.h"

namespace tk {

enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Middle, Bottom };

struct TextStyle {
    Font font;
    HAlign align = HAlign::Left;
    VAlign valign = VAlign::Top;
    bool wordWrap = false;
};

// The font machinery every text shares: one font map and one Pango context with the toolkit's
// font options. Finding and opening the fonts is most of a first text's cost, so the context
// is made on another thread, with the default UI faces loaded, while the caller goes on; the
// first use waits for it.
class TextContext {
public:
    TextContext();
    ~TextContext();
    TextContext(const TextContext&) = delete;
    TextContext& operator=(const TextContext&) = delete;

    PangoContext* pango() const;

private:
    mutable std::future<PangoContext*> loading_;
    mutable PangoContext* context_ = nullptr;
};

class TextBlock {
public:
    TextBlock() = default;
    ~TextBlock();
    TextBlock(const TextBlock&) = delete;
    TextBlock& operator=(const TextBlock&) = delete;

    void set(std::string_view text, const TextStyle& style);
    const std::string& text() const { return text_; }

    // The size of the laid-out text, for a box of the given width (word wrap needs one).
    Size measure(const TextContext& ctx, int width);
    // Draws into box, clipped to it.
    void draw(cairo_t* cr, const TextContext& ctx, const Rect& box, std::uint32_t rgb);

private:
    PangoLayout* layout(const TextContext& ctx, int width);

    std::string text_;
    TextStyle style_;
    PangoLayout* layout_ = nullptr;
    int layoutWidth_ = -1;
};

// The Pango font description for a font of a window definition.
PangoFontDescription* describeFont(const Font& font);

}  // namespace tk
