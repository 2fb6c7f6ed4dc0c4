#pragma once
// What one paint needs to write text and fill shapes: the "微软雅黑" family,
// fonts in points, the two string formats and solid brushes and pens. Made on
// first use within the paint and all released when the paint ends, so nothing
// drawn survives between paints.
#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <vector>

class PaintTools {
public:
    PaintTools() = default;
    PaintTools(const PaintTools&) = delete;
    PaintTools& operator=(const PaintTools&) = delete;

    // A font of the "微软雅黑" family; `style` is Gdiplus::FontStyleRegular (0)
    // or Gdiplus::FontStyleBold (1). Equal requests share one font. Its size is
    // in logical pixels (points at 96 DPI), so that the frame's scale
    // transform, not the device's DPI, decides how large it comes out.
    Gdiplus::Font& Font(Gdiplus::REAL points, INT style = Gdiplus::FontStyleRegular);
    Gdiplus::SolidBrush& Brush(Gdiplus::ARGB colour);
    Gdiplus::Pen& Pen(Gdiplus::ARGB colour, Gdiplus::REAL width = 1.0f);

    // Near-aligned horizontally, centred vertically.
    Gdiplus::StringFormat& NearFormat();
    // Centred both ways.
    Gdiplus::StringFormat& CentredFormat();

    // Draws zero-terminated `text` into `box` (wrapped at words, clipped).
    void DrawText(Gdiplus::Graphics& graphics, const wchar_t* text, const Gdiplus::RectF& box,
                  Gdiplus::Font& font, Gdiplus::StringFormat& format, Gdiplus::ARGB colour);

private:
    Gdiplus::FontFamily& Family();
    std::unique_ptr<Gdiplus::StringFormat> MakeFormat(Gdiplus::StringAlignment horizontal);

    struct FontEntry {
        Gdiplus::REAL points;
        INT style;
        std::unique_ptr<Gdiplus::Font> font;
    };
    struct PenEntry {
        Gdiplus::ARGB colour;
        Gdiplus::REAL width;
        std::unique_ptr<Gdiplus::Pen> pen;
    };
    struct BrushEntry {
        Gdiplus::ARGB colour;
        std::unique_ptr<Gdiplus::SolidBrush> brush;
    };

    // Members are destroyed in reverse order: fonts go before their family.
    std::unique_ptr<Gdiplus::FontFamily> family_;
    std::unique_ptr<Gdiplus::StringFormat> nearFormat_;
    std::unique_ptr<Gdiplus::StringFormat> centredFormat_;
    std::vector<FontEntry> fonts_;
    std::vector<BrushEntry> brushes_;
    std::vector<PenEntry> pens_;
};
