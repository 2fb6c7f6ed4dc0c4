#pragma once
// XListHistory: the owner-drawn table of the order history. A header band of
// column titles over rows of text cells, scrolled a row at a time by the
// wheel, and one picture button per row (column 4) that posts
// WM_HISTORY_ROW_OPEN with the row's index to the parent. Column 2 is drawn as
// an emphasised amount. The control knows nothing of orders: the owner may
// attach a pointer to a row's first cell and keeps owning what it points to.
//
// The buttons are the table's drawn elements: painting, hover and clicks read
// `buttons`, where a button is shown only while its row is in view below the
// header band, so a row scrolled away can be neither drawn nor clicked. The
// cells and buttons are laid out whenever the rows, the columns, the
// scrolling or the size change, so hit tests never wait for a paint.
//
// Owner's use:
//   list.Create(WS_CHILD | WS_VISIBLE, CRect(73, 64, 727, 490), this, 2650, 177);
//   list.AddColumn(L"订单编号", 140);  ...
//   list.InsertRow(list.RowCount(), text); list.SetItemText(row, 1, text); ...
//   list.ResetRows();  // before refilling
#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/afxwnd.h"  // before afxmsgmap.h: windowsx.h macros
#include "framework/afxmsgmap.h"
#include "skin/drawn_elements.h"
#include "skin/picture_cache.h"
#include "skin/element_accessible.h"
#include "skin/focus_order.h"
#include "skin/frame_cache.h"
#include "skin/skinned_window.h"

// A column (title and header rectangle) or a cell of a row.
struct XListItem {
    std::wstring text;
    RECT rect{};           // logical client coordinates; a cell's follows the scrolling
    void* data = nullptr;  // the owner's, on a row's first cell; never read or freed here
};

class XListHistory : public CSkinnedWnd<CWnd> {
public:
    static constexpr int kAmountColumn = 2;
    static constexpr int kButtonColumn = 4;
    static constexpr int kStripWidth = 10;  // presses in the last 10 columns open nothing
    static constexpr int kMinShownFirstColumn = 10;
    static constexpr const wchar_t* kButtonName = L"查看详情";

    XListHistory() = default;
    ~XListHistory() override;

    // Loads the row button's picture (two frames side by side) and creates the
    // window at logical `rect` of the parent. Non-zero on success.
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, int pictureId);
    using CWnd::Create;
    // Puts the window back at its logical rectangle at the current display
    // scale (after the scale changed).
    void LayOut();
    // The row button's picture anew for a display of `dpi`.
    void LoadPictures(UINT dpi);

    // Appends a column right of the last one; an empty title adds nothing.
    void AddColumn(const std::wstring& title, int width);
    // Sets the first cell's text of row `index`, appending the row (one cell
    // per current column) when it does not exist yet.
    void InsertRow(int index, const std::wstring& text);
    // Replaces one cell's text; nothing when the row or cell does not exist.
    void SetItemText(int row, int column, const std::wstring& text);

    int RowCount() const { return static_cast<int>(rows.size()); }
    // The first cell's data of `row`; null when the row does not exist.
    void* RowData(int row) const;
    void SetRowData(int row, void* data);
    // Empties the table for a refill: no rows, scrolled to the top, no row
    // chosen; repaints.
    void ResetRows();

    // The keyboard's stops: every row's View details, in row order; one
    // scrolled out of view comes into view when it takes the focus.
    void AppendFocusStops(std::vector<FocusStop>& stops) const;
    // Focuses row `row`'s button (the window takes the keyboard focus) and
    // scrolls it wholly into view.
    void FocusRow(int row);

    // Up, Down, Page Up, Page Down, Home and End move the focus between the
    // rows' buttons, scrolling the table with it.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    int scrollY = 0;        // 0 or negative: the rows move up
    int contentHeight = 0;  // header plus drawn rows, as laid out
    std::vector<XListItem> columns;
    std::vector<std::vector<XListItem>> rows;
    // One per row that has a button cell, its action the row's index, its
    // rectangle the part of the cell in view, all drawn with `buttonPicture`.
    DrawnElements buttons;
    int pressed = 0;
    int scrollPressY = -1;  // y of a press in the right-hand strip, -1 when none
    int selectedRow = -1;   // last row whose button was clicked
    RECT createRect{};      // logical, in the parent
    BYTE showHeader = 0;
    SkinPicture buttonPicture;
    int buttonPictureId = 0;
    int rowHeight = 36;
    int headerHeight = 36;
    // The table as last composed; every change of rows, texts, scrolling or
    // hover marks it.
    FrameCache frame;

protected:
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg LRESULT OnFocusElement(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSizeMessage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // The skinned window: the row buttons, the table composed into `frame`.
    DrawnElements& Elements() override { return buttons; }
    FrameCache* Frame() override { return &frame; }
    void Compose(OffscreenFrame& canvas) override;

private:
    // What a click on row `row`'s button does: posts the row to the parent.
    void OpenRow(int row);

    // Screen readers: a table of the header row and the rows, each row's
    // cells with their texts and its button while in view.
    LONG AccessibleRole() const override { return ROLE_SYSTEM_TABLE; }
    void ListAccessibleNodes(std::vector<AccessibleNode>& nodes) const override;
    void DoAccessibleAction(int action) override;

    // The cells' and buttons' places and contentHeight for the current rows,
    // columns, scrolling and client size.
    void LayOutRows();
    // Row `index`'s cells and button in logical client area `client`.
    void LayOutRow(size_t index, const RECT& client);
    int HeaderHeight() const { return showHeader == 1 ? headerHeight : 0; }
};
