// Ids of the test dialog templates.
#pragma once

#define IDD_FW_MODAL 201  // pop-up with an edit, OK and Cancel
#define IDD_FW_VISIBLE \
    202  // WS_POPUP | WS_VISIBLE with a digits-only edit, like the main window (no WS_EX_APPWINDOW)
#define IDD_FW_CHILD 203  // empty WS_CHILD template, like the pages
#define IDC_FW_EDIT 1000
