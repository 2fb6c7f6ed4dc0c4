// The combo box in a real parent window, driven by the messages the system
// would deliver: creation, opening and closing, choosing, leaving, owner-side
// selection and the order in which the parent hears of a change.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "combo_fixture.h"
#include "controls/combo_messages.h"

namespace {

const RECT kComboRect{20, 30, 306, 55};  // 286 x 25, like the store front's selector
constexpr int kWidth = 286;
constexpr int kHeight = 25;

LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

class ComboTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetCursorPos(1200, 1000);  // the real pointer stays out of the way
        parent_ = std::make_unique<ComboTestParent>(40, 40, 500, 400);
        ASSERT_NE(parent_->m_hWnd, nullptr);
        ASSERT_TRUE(combo().Create(WS_CHILD | WS_VISIBLE, kComboRect, parent_.get(), 6661));
        combo().UpdateWindow();
    }
    void TearDown() override {
        parent_.reset();
        PumpPending();
    }

    XCommbox& combo() { return parent_->combo; }
    XDropWnd& drop() { return parent_->combo.dropWnd; }
    std::vector<ComboNotice>& notices() { return parent_->notices; }
    std::wstring EditText() { return WindowText(combo().edit.m_hWnd); }

    void PressBody(int x) {
        SendMessageW(combo().m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, At(x, kHeight / 2));
        SendMessageW(combo().m_hWnd, WM_LBUTTONUP, 0, At(x, kHeight / 2));
    }
    void Open() {
        ASSERT_FALSE(drop().IsWindowVisible());
        PressBody(kWidth - 10);
        ASSERT_TRUE(drop().IsWindowVisible());
    }
    void ClickRow(int row) {
        SendMessageW(drop().m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, At(40, row * 30 + 15));
        SendMessageW(drop().m_hWnd, WM_LBUTTONUP, 0, At(40, row * 30 + 15));
    }
    RECT DropRect() {
        RECT r;
        GetWindowRect(drop().m_hWnd, &r);
        return r;
    }

    std::unique_ptr<ComboTestParent> parent_;
};

TEST_F(ComboTest, CreateMakesBodyFontEditAndHiddenDropWindow) {
    EXPECT_EQ(combo().width, kWidth);
    EXPECT_EQ(combo().height, kHeight);
    EXPECT_EQ(GetDlgCtrlID(combo().m_hWnd), 6661);
    EXPECT_EQ(GetParent(combo().m_hWnd), parent_->m_hWnd);

    const LOGFONTW& lf = combo().lfont;
    EXPECT_EQ(lf.lfHeight, 18);
    EXPECT_EQ(lf.lfWidth, 0);
    EXPECT_EQ(lf.lfWeight, 352);
    EXPECT_EQ(lf.lfItalic, 0);
    EXPECT_EQ(lf.lfCharSet, 0);
    EXPECT_EQ(lf.lfQuality, PROOF_QUALITY);
    EXPECT_EQ(lf.lfPitchAndFamily, 0x12);
    EXPECT_STREQ(lf.lfFaceName, L"微软雅黑");
    ASSERT_NE(combo().font.GetSafeHandle(), nullptr);

    // Edit: read-only, id 7001, (6, m + 2, width - 32, m + 16) with m = 2.
    HWND edit = combo().edit.m_hWnd;
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(GetDlgCtrlID(edit), 7001);
    EXPECT_EQ(GetParent(edit), combo().m_hWnd);
    EXPECT_EQ(GetWindowLongW(edit, GWL_STYLE) & 0xFFFF0FFF, 0x50000880);
    RECT r;
    GetWindowRect(edit, &r);
    MapWindowPoints(nullptr, combo().m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 6);
    EXPECT_EQ(r.top, 4);
    EXPECT_EQ(r.right, kWidth - 32);
    EXPECT_EQ(r.bottom, 18);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)),
              static_cast<HFONT>(combo().font));

    // Drop window: the shared class, hidden pop-up, width x 200, owned by the
    // parent's top level, bound to the XDropWnd member.
    HWND d = drop().m_hWnd;
    ASSERT_NE(d, nullptr);
    wchar_t cls[64] = {};
    GetClassNameW(d, cls, 64);
    EXPECT_STREQ(cls, L"_xcombox_drop_class_");
    EXPECT_EQ(WindowText(d), L"_xcombox_drop_wnd_");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(d, GWL_STYLE)) & (WS_POPUP | WS_VISIBLE | WS_CHILD),
              static_cast<DWORD>(WS_POPUP));
    EXPECT_EQ(CWnd::FromHandlePermanent(d), &drop());
    GetWindowRect(d, &r);
    EXPECT_EQ(r.right - r.left, kWidth);
    EXPECT_EQ(r.bottom - r.top, 200);
    EXPECT_EQ(GetWindow(d, GW_OWNER), parent_->m_hWnd);

    WNDCLASSW wc{};
    ASSERT_TRUE(GetClassInfoW(GetModuleHandleW(nullptr), L"_xcombox_drop_class_", &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS));
    EXPECT_EQ(wc.hbrBackground, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
    EXPECT_EQ(wc.hCursor, LoadCursorW(nullptr, IDC_ARROW));

    EXPECT_EQ(drop().notifyHwnd, combo().m_hWnd);
    EXPECT_EQ(drop().logFont, &combo().lfont);
    EXPECT_EQ(drop().textArgb, 0xFF000000u);
    EXPECT_EQ(drop().backArgb, 0xFFFFFFFFu);
    EXPECT_EQ(drop().selectedIndex, -1);
    EXPECT_EQ(drop().ItemCount(), 0u);
}

TEST(ComboCreate, DropWindowCreationClearsItemsAddedBefore) {
    ComboTestParent parent(40, 40, 400, 300);
    FillCombo(parent.combo, 3);
    ASSERT_TRUE(parent.combo.Create(WS_CHILD | WS_VISIBLE, kComboRect, &parent, 1));
    EXPECT_EQ(parent.combo.dropWnd.ItemCount(), 0u);
}

TEST(ComboCreate, FailedBodyCreationMakesNothingElse) {
    XCommbox combo;
    CWnd notAWindow;
    notAWindow.m_hWnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7FFF1234));
    EXPECT_FALSE(combo.Create(WS_CHILD | WS_VISIBLE, kComboRect, &notAWindow, 1));
    notAWindow.m_hWnd = nullptr;
    EXPECT_EQ(combo.m_hWnd, nullptr);
    EXPECT_EQ(combo.edit.m_hWnd, nullptr);
    EXPECT_EQ(combo.dropWnd.m_hWnd, nullptr);
    EXPECT_EQ(combo.font.GetSafeHandle(), nullptr);
    EXPECT_EQ(combo.width, 0);
    EXPECT_FALSE(combo.SelectInitial()) << "no items";
}

TEST_F(ComboTest, OnlyTheChevronZoneOpensAndClosesTheList) {
    FillCombo(combo(), 7);
    // x = width - 30 is the last pixel outside the zone.
    PressBody(kWidth - 30);
    EXPECT_FALSE(drop().IsWindowVisible());
    PressBody(3);
    EXPECT_FALSE(drop().IsWindowVisible());

    PressBody(kWidth - 29);
    ASSERT_TRUE(drop().IsWindowVisible());
    // Under the body, its width, 7 rows of 30 plus the bottom line: 211.
    RECT body;
    GetWindowRect(combo().m_hWnd, &body);
    const RECT r = DropRect();
    EXPECT_EQ(r.left, body.left);
    EXPECT_EQ(r.top, body.bottom);
    EXPECT_EQ(r.right - r.left, kWidth);
    EXPECT_EQ(r.bottom - r.top, 211);

    PressBody(kWidth - 1);
    EXPECT_FALSE(drop().IsWindowVisible());
    PumpPending();
    EXPECT_TRUE(notices().empty()) << "opening and closing choose nothing";
    EXPECT_EQ(drop().selectedIndex, -1);
}

TEST_F(ComboTest, EmptyListOpensOnePixelHighAndChoosesNothing) {
    EXPECT_FALSE(combo().SelectInitial());
    PumpPending();
    Open();
    const RECT r = DropRect();
    EXPECT_EQ(r.bottom - r.top, 1);
    EXPECT_EQ(r.right - r.left, kWidth);
    ClickRow(0);
    PumpPending();
    EXPECT_EQ(drop().selectedIndex, -1);
    EXPECT_TRUE(notices().empty());
    EXPECT_EQ(EditText(), L"");
    EXPECT_TRUE(drop().IsWindowVisible());
}

TEST_F(ComboTest, InitialSelectionShowsItemZeroThenTellsTheParent) {
    FillCombo(combo(), 3);
    ASSERT_TRUE(combo().SelectInitial());
    EXPECT_EQ(drop().selectedIndex, 0);
    EXPECT_EQ(drop().rows()[0].hover, 1);
    EXPECT_EQ(drop().rows()[1].hover, 0);
    // Posted, not sent: nothing shows before the message loop runs.
    EXPECT_EQ(EditText(), L"");
    EXPECT_TRUE(notices().empty());
    ASSERT_EQ(combo().elements.size(), 1u);
    EXPECT_EQ(combo().elements[0].name, L"选择套餐");

    PumpPending();
    EXPECT_EQ(EditText(), L"套餐0");
    EXPECT_EQ(combo().elements[0].name, L"套餐0") << "the chevron is named after the choice";
    ASSERT_EQ(notices().size(), 1u);
    EXPECT_EQ(notices()[0].wParam, 0u);
    EXPECT_EQ(notices()[0].lParam, 0);
    EXPECT_EQ(notices()[0].editText, L"套餐0") << "the edit changed before the parent heard";
    EXPECT_EQ(notices()[0].selectedIndex, 0);
}

TEST_F(ComboTest, ClickingARowChoosesItAndClosesTheList) {
    FillCombo(combo(), 4);
    combo().SelectInitial();
    PumpPending();
    notices().clear();

    Open();  // paints the list, which lays out the rows
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(drop().rows()[i].rect.top, 30 * i);
        EXPECT_EQ(drop().rows()[i].rect.bottom, 30 * (i + 1));
        EXPECT_EQ(drop().rows()[i].rect.right, kWidth);
    }
    ClickRow(2);
    EXPECT_EQ(drop().selectedIndex, 2);
    EXPECT_EQ(drop().rows()[2].hover, 0);
    EXPECT_EQ(drop().rows()[0].hover, 0) << "the initial selection's mark is cleared";
    EXPECT_TRUE(drop().IsWindowVisible()) << "closed by the posted message";
    PumpPending();
    EXPECT_FALSE(drop().IsWindowVisible());
    EXPECT_EQ(EditText(), L"套餐2");
    EXPECT_EQ(combo().elements[0].name, L"套餐2");
    ASSERT_EQ(notices().size(), 1u);
    EXPECT_EQ(notices()[0].wParam, 0u);
    EXPECT_EQ(notices()[0].editText, L"套餐2");
    EXPECT_EQ(notices()[0].selectedIndex, 2);

    // The same item again still notifies the parent.
    Open();
    ClickRow(2);
    PumpPending();
    EXPECT_FALSE(drop().IsWindowVisible());
    ASSERT_EQ(notices().size(), 2u);
    EXPECT_EQ(notices()[1].selectedIndex, 2);

    // Below the last row, on the bottom line: nothing is chosen.
    Open();
    SendMessageW(drop().m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, At(40, 120));
    PumpPending();
    EXPECT_TRUE(drop().IsWindowVisible());
    EXPECT_EQ(notices().size(), 2u);
}

TEST_F(ComboTest, HoverMarksTheRowUnderThePointerAndLeavingClosesWithoutChoice) {
    FillCombo(combo(), 3);
    combo().SelectInitial();
    PumpPending();
    notices().clear();
    Open();
    ValidateRect(drop().m_hWnd, nullptr);
    EXPECT_EQ(drop().rows().trackLeave(), 1);

    SendMessageW(drop().m_hWnd, WM_MOUSEMOVE, 0, At(50, 45));
    EXPECT_EQ(drop().rows().trackLeave(), 0);
    EXPECT_EQ(drop().rows()[0].hover, 0);
    EXPECT_EQ(drop().rows()[1].hover, 1);
    RECT dirty;
    ASSERT_TRUE(GetUpdateRect(drop().m_hWnd, &dirty, FALSE));
    EXPECT_EQ(dirty.top, 0) << "row 0 lost its mark, row 1 gained one";
    EXPECT_EQ(dirty.bottom, 60);
    ValidateRect(drop().m_hWnd, nullptr);
    SendMessageW(drop().m_hWnd, WM_MOUSEMOVE, 0, At(60, 50));
    EXPECT_FALSE(GetUpdateRect(drop().m_hWnd, nullptr, FALSE)) << "same row: nothing to repaint";

    SendMessageW(drop().m_hWnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(drop().rows()[1].hover, 0);
    EXPECT_EQ(drop().rows().trackLeave(), 1);
    PumpPending();
    EXPECT_FALSE(drop().IsWindowVisible());
    EXPECT_TRUE(notices().empty());
    EXPECT_EQ(drop().selectedIndex, 0);
    EXPECT_EQ(EditText(), L"套餐0");
}

TEST_F(ComboTest, SelectIndexPostsTheItemAndIgnoresIndexesOutOfRange) {
    FillCombo(combo(), 3);
    drop().SelectIndex(-1);
    drop().SelectIndex(3);
    PumpPending();
    EXPECT_EQ(drop().selectedIndex, -1);
    EXPECT_TRUE(notices().empty());

    drop().SelectIndex(2);
    EXPECT_EQ(drop().selectedIndex, 2);
    EXPECT_EQ(drop().rows()[2].hover, 1);
    PumpPending();
    EXPECT_EQ(EditText(), L"套餐2");
    ASSERT_EQ(notices().size(), 1u);
    EXPECT_EQ(notices()[0].editText, L"套餐2");

    // Two selections in a row: both texts reach the edit before the parent
    // hears (twice), so it reads the last one each time.
    drop().SelectIndex(0);
    drop().SelectIndex(1);
    PumpPending();
    EXPECT_EQ(EditText(), L"套餐1");
    ASSERT_EQ(notices().size(), 3u);
    EXPECT_EQ(notices()[1].editText, L"套餐1");
    EXPECT_EQ(notices()[2].editText, L"套餐1");
    EXPECT_EQ(notices()[2].selectedIndex, 1);
}

TEST_F(ComboTest, ChoiceThisProcessDidNotPostChangesNothing) {
    FillCombo(combo(), 2);
    combo().SelectInitial();
    PumpPending();
    Open();
    // Any program can post the message; a pointer it makes up is never used.
    std::wstring foreign = L"foreign";
    PostMessageW(combo().m_hWnd, WM_COMBO_SELECT, 1, reinterpret_cast<LPARAM>(&foreign));
    PostMessageW(combo().m_hWnd, WM_COMBO_SELECT, 1, 0);
    PostMessageW(combo().m_hWnd, WM_COMBO_SELECT, 7, 0);  // unknown: ignored
    PumpPending();
    EXPECT_TRUE(drop().IsWindowVisible());
    EXPECT_EQ(EditText(), L"套餐0");
    EXPECT_EQ(foreign, L"foreign");
    EXPECT_EQ(notices().size(), 1u);
}

TEST(ComboTwoInOneProcess, BothCombosShareTheClassAndWorkApart) {
    ComboTestParent first(40, 40, 400, 300);
    ComboTestParent second(480, 40, 400, 300);
    ASSERT_TRUE(first.combo.Create(WS_CHILD | WS_VISIBLE, kComboRect, &first, 6661));
    // The class exists already: the second registration fails, creation does not.
    ASSERT_TRUE(second.combo.Create(WS_CHILD | WS_VISIBLE, RECT{10, 10, 260, 36}, &second, 6662));
    ASSERT_NE(second.combo.dropWnd.m_hWnd, nullptr);
    EXPECT_NE(second.combo.dropWnd.m_hWnd, first.combo.dropWnd.m_hWnd);
    FillCombo(first.combo, 3, L"甲");
    FillCombo(second.combo, 5, L"乙");
    first.combo.SelectInitial();
    second.combo.SelectInitial();
    PumpPending();
    EXPECT_EQ(WindowText(first.combo.edit.m_hWnd), L"甲0");
    EXPECT_EQ(WindowText(second.combo.edit.m_hWnd), L"乙0");
    EXPECT_EQ(first.notices.size(), 1u);
    EXPECT_EQ(second.notices.size(), 1u);

    // Open the second: only its list shows, 5 rows high, under its own body.
    SendMessageW(second.combo.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, At(240, 12));
    EXPECT_TRUE(second.combo.dropWnd.IsWindowVisible());
    EXPECT_FALSE(first.combo.dropWnd.IsWindowVisible());
    RECT r;
    GetWindowRect(second.combo.dropWnd.m_hWnd, &r);
    EXPECT_EQ(r.bottom - r.top, 151);
    EXPECT_EQ(r.left, 490);

    SendMessageW(second.combo.dropWnd.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 125));
    PumpPending();
    EXPECT_EQ(second.combo.dropWnd.selectedIndex, 4);
    EXPECT_EQ(WindowText(second.combo.edit.m_hWnd), L"乙4");
    EXPECT_EQ(second.notices.size(), 2u);
    EXPECT_EQ(first.combo.dropWnd.selectedIndex, 0);
    EXPECT_EQ(WindowText(first.combo.edit.m_hWnd), L"甲0");
    EXPECT_EQ(first.notices.size(), 1u);

    first.combo.dropWnd.SelectIndex(1);
    PumpPending();
    EXPECT_EQ(WindowText(first.combo.edit.m_hWnd), L"甲1");
    EXPECT_EQ(first.notices.size(), 2u);
    EXPECT_EQ(second.notices.size(), 2u);
}

TEST(ComboLifetime, PendingChoicesDieWithTheCombo) {
    auto parent = std::make_unique<ComboTestParent>(40, 40, 400, 300);
    ASSERT_TRUE(parent->combo.Create(WS_CHILD | WS_VISIBLE, kComboRect, parent.get(), 1));
    FillCombo(parent->combo, 2);
    parent->combo.SelectInitial();
    parent->combo.dropWnd.SelectIndex(1);
    HWND body = parent->combo.m_hWnd;
    EXPECT_EQ(ComboChoicePosts().Outstanding(), 2u);
    parent.reset();  // with two texts still queued for the body
    EXPECT_EQ(ComboChoicePosts().Outstanding(), 0u);
    EXPECT_FALSE(IsWindow(body));
}

}  // namespace
