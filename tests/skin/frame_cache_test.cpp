// The kept frame and the kept backdrop on their own: what a repaint shows
// after a change that was marked and one that was not, after a resize and a
// change of display scale, that a page redrawn whole composes the frames inside
// it, and that a hidden window's kept pixels go.
#include <windows.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "dib_canvas.h"
#include "skin/display_scale.h"
#include "skin/drawn_elements.h"
#include "skin/frame_cache.h"
#include "skin/kept_backdrop.h"
#include "test_pictures.h"

namespace {

// A window whose erase handler composes one colour through a FrameCache,
// and, when `inner` is set, a child window that does the same.
class FramedWindow {
public:
    explicit FramedWindow(HWND parent = nullptr, int width = 64, int height = 48) {
        static const ATOM atom = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"FrameCacheTestWindow";
            return RegisterClassW(&wc);
        }();
        hwnd = CreateWindowExW(0, MAKEINTATOM(atom), L"", parent ? WS_CHILD : WS_POPUP, 0, 0, width,
                               height, parent, nullptr, GetModuleHandleW(nullptr), this);
    }
    ~FramedWindow() { DestroyWindow(hwnd); }
    FramedWindow(const FramedWindow&) = delete;
    FramedWindow& operator=(const FramedWindow&) = delete;

    // What the next paint shows.
    std::vector<std::uint32_t> Shown(int width = 64, int height = 48) {
        return CaptureErasePaint(hwnd, width, height);
    }

    HWND hwnd = nullptr;
    FrameCache frame;
    Gdiplus::ARGB colour = 0xFFFF0000;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<FramedWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == WM_ERASEBKGND && self != nullptr) {
            self->frame.Paint(hwnd, reinterpret_cast<HDC>(wParam), [self](OffscreenFrame& f) {
                Gdiplus::SolidBrush brush{Gdiplus::Color(self->colour)};
                f.graphics().FillRectangle(&brush, 0, 0, f.width(), f.height());
            });
            return 1;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
};

// The pixels of two 120-wide paints that differ, as "x,y:a/b " (at most 8).
std::string Differing(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    std::string out;
    int n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] != b[i] && n++ < 8) {
            char text[64];
            std::snprintf(text, sizeof text, "%d,%d:%06x/%06x ", static_cast<int>(i % 120),
                          static_cast<int>(i / 120), a[i], b[i]);
            out += text;
        }
    }
    return n > 0 ? std::to_string(n) + " differ: " + out : out;
}

std::uint32_t Rgb(Gdiplus::ARGB argb) {
    return argb & 0xFFFFFF;
}

TEST(FrameCache, ShowsTheKeptFrameUntilAChangeIsMarked) {
    FramedWindow window;
    ASSERT_NE(window.hwnd, nullptr);
    EXPECT_EQ(Rgb(0xFFFF0000), window.Shown()[0]);
    const unsigned composed = window.frame.composed();
    EXPECT_EQ(Rgb(0xFFFF0000), window.Shown()[0]);
    EXPECT_EQ(composed, window.frame.composed()) << "a repaint of nothing new composed";

    // A change that is not marked does not reach the screen: the frame is
    // kept, and marking is what composes.
    window.colour = 0xFF0000FF;
    EXPECT_EQ(Rgb(0xFFFF0000), window.Shown()[0]);
    EXPECT_EQ(composed, window.frame.composed());
    // Marked through the window alone, as code that holds only the handle does.
    FrameChanged(window.hwnd);
    EXPECT_TRUE(window.frame.changed());
    EXPECT_EQ(Rgb(0xFF0000FF), window.Shown()[0]);
    EXPECT_EQ(composed + 1, window.frame.composed());
}

// What is drawn changes only through the element model's setters, and each
// one marks the frame of the window that draws the elements.
TEST(FrameCache, EveryElementSetterMarksTheFrame) {
    FramedWindow window;
    SkinElement element;
    element.rect = RECT{4, 4, 20, 20};
    element.views = ViewBit(1);
    DrawnElements elements(std::vector<SkinElement>{element});
    auto marks = [&](const char* what, auto change) {
        window.Shown();
        ASSERT_FALSE(window.frame.changed());
        change();
        EXPECT_TRUE(window.frame.changed()) << what << " left the kept frame as it was";
    };
    marks("SetShown", [&] { elements.SetShown(window.hwnd, 0, false); });
    marks("ShowView", [&] { elements.ShowView(window.hwnd, 1); });
    marks("SetHover", [&] { elements.SetHover(window.hwnd, 0, 1); });
    marks("SetRect", [&] { elements.SetRect(window.hwnd, 0, RECT{0, 0, 8, 8}); });
    marks("SetName", [&] { elements.SetName(window.hwnd, 0, L"选择"); });
    marks("Add", [&] { elements.Add(window.hwnd, element); });
    marks("RemoveFrom", [&] { elements.RemoveFrom(window.hwnd, 1); });
}

TEST(FrameCache, AResizeComposesAtTheNewSize) {
    FramedWindow window;
    window.Shown();
    const unsigned composed = window.frame.composed();
    window.colour = 0xFF00FF00;  // not marked: only the size tells
    SetWindowPos(window.hwnd, nullptr, 0, 0, 80, 30, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const std::vector<std::uint32_t> shown = window.Shown(80, 30);
    EXPECT_EQ(composed + 1, window.frame.composed());
    EXPECT_EQ(Rgb(0xFF00FF00), shown[0]);
    EXPECT_EQ(Rgb(0xFF00FF00), shown.back()) << "the frame does not cover the new size";
}

TEST(FrameCache, ARedrawnOrHiddenPageReachesTheFramesInsideIt) {
    FramedWindow page;
    FramedWindow inner(page.hwnd, 32, 16);
    page.Shown();
    inner.Shown(32, 16);
    // A redraw of the whole page (a new scale) composes the frames inside too.
    inner.colour = 0xFF00FF00;
    RedrawFramesOf(page.hwnd);
    EXPECT_TRUE(inner.frame.changed());
    EXPECT_EQ(Rgb(0xFF00FF00), inner.Shown(32, 16)[0]);
    page.Shown();
    EXPECT_FALSE(page.frame.changed());
    EXPECT_FALSE(inner.frame.changed());
    ReleaseFramesOf(page.hwnd);
    EXPECT_TRUE(page.frame.changed());
    EXPECT_TRUE(inner.frame.changed());
    // Composed again when shown; a mark meanwhile finds no frame to reach.
    page.colour = 0xFF0000FF;
    FrameChanged(page.hwnd);
    EXPECT_EQ(Rgb(0xFF0000FF), page.Shown()[0]);
    EXPECT_FALSE(page.frame.changed());
}

// The kept copy of a picture shows exactly what drawing the picture over
// white into the device pixels it covers shows, at 100 % and at 150 %; it is
// made anew when the picture, the size or the scale changes, and made again
// after it was let go.
TEST(KeptBackdrop, ShowsWhatADirectDrawShowsAcrossScalesSizesAndPictures) {
    const std::shared_ptr<Gdiplus::Image> a = TwoFramePicture(40, 30, 0xFFFF0000, 0x800000FF);
    const std::shared_ptr<Gdiplus::Image> b = SolidPicture(40, 30, 0xFF00FF00);
    auto paint = [](int dpi, const std::shared_ptr<Gdiplus::Image>& picture, const RECT& dest,
                    KeptBackdrop* kept) {
        DibCanvas canvas(120, 90);
        canvas.Fill(0xFFFFFF);
        Gdiplus::Graphics graphics(canvas.dc);
        // As an OffscreenFrame draws.
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        const DisplayScale scale(dpi);
        if (kept != nullptr) {
            graphics.ScaleTransform(scale.factor(), scale.factor());
            kept->Draw(graphics, scale, picture, dest);
        } else {
            const RECT device = scale.ToDevice(dest);
            graphics.DrawImage(picture.get(), static_cast<INT>(device.left),
                               static_cast<INT>(device.top),
                               static_cast<INT>(device.right - device.left),
                               static_cast<INT>(device.bottom - device.top));
        }
        graphics.Flush(Gdiplus::FlushIntentionSync);
        std::vector<std::uint32_t> pixels = canvas.Pixels();
        if (dpi != 96) {
            // Scaled up, Wine's GDI+ leaves the first device row and column
            // of a picture drawn off the bitmap's corner white; the kept copy,
            // drawn at its own corner, covers them.
            const RECT device = DisplayScale(dpi).ToDevice(dest);
            for (LONG x = device.left; x < device.right; ++x)
                pixels[static_cast<size_t>(device.top * 120 + x)] = 0;
            for (LONG y = device.top; y < device.bottom; ++y)
                pixels[static_cast<size_t>(y * 120 + device.left)] = 0;
        }
        return pixels;
    };
    KeptBackdrop kept;
    const RECT small{4, 6, 44, 36};
    const RECT wide{4, 6, 64, 46};
    struct Case {
        int dpi;
        const std::shared_ptr<Gdiplus::Image>& picture;
        RECT dest;
    } cases[] = {{96, a, small},  {96, a, small}, {144, a, small},
                 {144, b, small}, {144, b, wide}, {96, a, wide}};
    for (const Case& c : cases) {
        const std::vector<std::uint32_t> direct = paint(c.dpi, c.picture, c.dest, nullptr);
        const std::vector<std::uint32_t> copied = paint(c.dpi, c.picture, c.dest, &kept);
        EXPECT_EQ(Differing(direct, copied), "")
            << c.dpi << " dpi, " << c.dest.right - c.dest.left << " wide";
        EXPECT_TRUE(kept.kept());
    }
    kept.Release();
    EXPECT_FALSE(kept.kept());
    EXPECT_EQ(Differing(paint(144, b, wide, nullptr), paint(144, b, wide, &kept)), "");

    // A picture made where a freed one was, at its size, is another picture.
    PictureSlot slot;
    std::shared_ptr<Gdiplus::Image> gone = slot.Solid(40, 30, 0xFFFF0000);
    paint(96, gone, small, &kept);
    gone.reset();
    const std::shared_ptr<Gdiplus::Image> next = slot.Solid(40, 30, 0xFF0000FF);
    EXPECT_EQ(Differing(paint(96, next, small, nullptr), paint(96, next, small, &kept)), "");
}

}  // namespace
