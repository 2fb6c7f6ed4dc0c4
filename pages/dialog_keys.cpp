#include "pages/dialog_keys.h"

BOOL FilterDialogKeys(CDialogEx& dialog, MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN) {
        if (pMsg->wParam == VK_RETURN) {
            return TRUE;
        }
        if (pMsg->wParam == VK_ESCAPE) {
            dialog.OnCancel();
        }
    }
    return dialog.CDialogEx::PreTranslateMessage(pMsg);
}

BOOL FilterPageKeys(CDialogEx& page, MSG* pMsg) {
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST)
        return FALSE;
    return page.CDialogEx::PreTranslateMessage(pMsg);
}
