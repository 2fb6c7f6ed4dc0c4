#include "skin/paint_tools.h"

#include "skin/display_scale.h"

Gdiplus::FontFamily& PaintTools::Family() {
    if (!family_)
        family_.reset(new Gdiplus::FontFamily(L"微软雅黑", nullptr));
    return *family_;
}

Gdiplus::Font& PaintTools::Font(Gdiplus::REAL points, INT style) {
    for (FontEntry& entry : fonts_) {
        if (entry.points == points && entry.style == style)
            return *entry.font;
    }
    fonts_.push_back(
        FontEntry{points, style,
                  std::unique_ptr<Gdiplus::Font>(new Gdiplus::Font(
                      &Family(), PointsToLogicalPixels(points), style, Gdiplus::UnitPixel))});
    return *fonts_.back().font;
}

Gdiplus::SolidBrush& PaintTools::Brush(Gdiplus::ARGB colour) {
    for (BrushEntry& entry : brushes_) {
        if (entry.colour == colour)
            return *entry.brush;
    }
    brushes_.push_back(BrushEntry{colour, std::unique_ptr<Gdiplus::SolidBrush>(
                                              new Gdiplus::SolidBrush(Gdiplus::Color(colour)))});
    return *brushes_.back().brush;
}

Gdiplus::Pen& PaintTools::Pen(Gdiplus::ARGB colour, Gdiplus::REAL width) {
    for (PenEntry& entry : pens_) {
        if (entry.colour == colour && entry.width == width)
            return *entry.pen;
    }
    pens_.push_back(
        PenEntry{colour, width,
                 std::unique_ptr<Gdiplus::Pen>(new Gdiplus::Pen(Gdiplus::Color(colour), width))});
    return *pens_.back().pen;
}

std::unique_ptr<Gdiplus::StringFormat> PaintTools::MakeFormat(Gdiplus::StringAlignment horizontal) {
    std::unique_ptr<Gdiplus::StringFormat> format(new Gdiplus::StringFormat(0, LANG_NEUTRAL));
    format->SetAlignment(horizontal);
    format->SetLineAlignment(Gdiplus::StringAlignmentCenter);
    return format;
}

Gdiplus::StringFormat& PaintTools::NearFormat() {
    if (!nearFormat_)
        nearFormat_ = MakeFormat(Gdiplus::StringAlignmentNear);
    return *nearFormat_;
}

Gdiplus::StringFormat& PaintTools::CentredFormat() {
    if (!centredFormat_)
        centredFormat_ = MakeFormat(Gdiplus::StringAlignmentCenter);
    return *centredFormat_;
}

void PaintTools::DrawText(Gdiplus::Graphics& graphics, const wchar_t* text,
                          const Gdiplus::RectF& box, Gdiplus::Font& font,
                          Gdiplus::StringFormat& format, Gdiplus::ARGB colour) {
    if (!text)
        return;
    graphics.DrawString(text, -1, &font, box, &format, &Brush(colour));
}
