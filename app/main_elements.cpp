#include "app/main_elements.h"

#include "resource.h"

const SkinElementRecord kMainElementRecords[kMainElementCount] = {
    {IDP_CLOSE, 770, 0, 794, 24},            // close
    {IDP_MINIMISE, 740, 0, 764, 24},         // minimise
    {IDP_ORDERS, 656, 0, 720, 24},           // my orders
    {IDP_SERVICE, 581, 0, 645, 24},          // contact customer service
    {IDP_OFFICIAL_TAB, 769, 492, 801, 552},  // more on the official site
    {IDP_ACTIVATE, 280, 492, 500, 572},      // activate now
};

bool InMainDragZone(POINT p, int clientWidth) {
    const RECT zone{0, 0, clientWidth - 220, kTitleStripHeight};
    return PtInRect(&zone, p) != FALSE;
}
