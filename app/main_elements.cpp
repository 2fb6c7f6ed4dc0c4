#include "app/main_elements.h"

#include "app/page_switcher.h"
#include "resource.h"

namespace {

// The store front's own buttons; a page over it covers them. The title
// strip's show in every view.
constexpr unsigned kStoreFrontBit = ViewBit(static_cast<int>(View::StoreFront));

}  // namespace

// The keyboard reaches them in reading order after the store front's
// controls (or the page's stops): 立即激活, the official site, then the title
// strip's 联系客服, 我的订单, minimise and close.
const SkinElementRecord kMainElementRecords[kMainElementCount] = {
    {IDP_CLOSE, 770, 0, 794, 24, L"关闭", ElementRole::PushButton, kEveryView, 6},
    {IDP_MINIMISE, 740, 0, 764, 24, L"最小化", ElementRole::PushButton, kEveryView, 5},
    {IDP_ORDERS, 656, 0, 720, 24, L"我的订单", ElementRole::PushButton, kEveryView, 4},
    {IDP_SERVICE, 581, 0, 645, 24, L"联系客服", ElementRole::Link, kEveryView, 3},
    {IDP_OFFICIAL_TAB, 769, 492, 801, 552, L"官网查看更多", ElementRole::Link, kStoreFrontBit, 2},
    {IDP_ACTIVATE, 280, 492, 500, 572, L"立即激活", ElementRole::PushButton, kStoreFrontBit, 1},
};

bool InMainDragZone(POINT p, int clientWidth) {
    const RECT zone{0, 0, clientWidth - 220, kTitleStripHeight};
    return PtInRect(&zone, p) != FALSE;
}
