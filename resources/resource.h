#pragma once
// Resource ids of the program.

// Icon
#define IDR_MAINFRAME 128

// Dialog templates
#define IDD_PARVELLE_DIALOG 102
#define IDD_PAGE_PAY1 131
#define IDD_PAGE_EMPTY 132  // order history page and payment page with selector

// Controls
#define IDC_MOBILE_EDIT 1000

// PNG pictures of the skin (resource type "PNG")
#define IDP_CLOSE 133
#define IDP_MINIMISE 134
#define IDP_PAGER_ARROWS 162
#define IDP_ACTIVATE 163
#define IDP_SERVICE 164
#define IDP_OFFICIAL_TAB 165
#define IDP_ORDERS 166
#define IDP_BOTTOM_STRIP 167
#define IDP_PAY_PANEL 169
#define IDP_COPY 171
#define IDP_OPEN 172
#define IDP_PAID_VIEW 173
#define IDP_QR_PLACEHOLDER 174
#define IDP_CHOICE_MARK 175
#define IDP_BACK 176
#define IDP_DETAILS 177
#define IDP_PAY2_PANEL 179
