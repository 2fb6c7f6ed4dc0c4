#include "app/main_elements.h"

#include "resource.h"

const SkinElementRecord kMainElementRecords[kMainElementCount] = {
    {IDP_CLOSE, 770, 0, 794, 24, L"关闭"},
    {IDP_MINIMISE, 740, 0, 764, 24, L"最小化"},
    {IDP_ORDERS, 656, 0, 720, 24, L"我的订单"},
    {IDP_SERVICE, 581, 0, 645, 24, L"联系客服", ElementRole::Link},
    {IDP_OFFICIAL_TAB, 769, 492, 801, 552, L"官网查看更多", ElementRole::Link},
    {IDP_ACTIVATE, 280, 492, 500, 572, L"立即激活"},
};

bool InMainDragZone(POINT p, int clientWidth) {
    const RECT zone{0, 0, clientWidth - 220, kTitleStripHeight};
    return PtInRect(&zone, p) != FALSE;
}
