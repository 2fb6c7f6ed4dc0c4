// CDialog: dialogs from templates, modal and modeless, and data exchange.
#include "framework/afxdialogex.h"

#include <cstring>
#include <vector>

#include "framework/afxapp.h"
#include "framework/afxstate.h"

namespace {

// A DWORD-aligned copy of dialog template nID; empty when there is none.
std::vector<DWORD> LoadDialogTemplate(UINT nID, bool stripVisible) {
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC res = ::FindResourceW(hInst, MAKEINTRESOURCEW(nID), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (res == nullptr) {
        return {};
    }
    const DWORD size = ::SizeofResource(hInst, res);
    HGLOBAL handle = ::LoadResource(hInst, res);
    const void* data = handle != nullptr ? ::LockResource(handle) : nullptr;
    if (data == nullptr || size < sizeof(DLGTEMPLATE)) {
        return {};
    }
    std::vector<DWORD> copy((size + 3) / 4);
    std::memcpy(copy.data(), data, size);
    if (stripVisible) {
        auto* words = reinterpret_cast<WORD*>(copy.data());
        // DLGTEMPLATEEX: dlgVer 1, signature 0xFFFF, helpID, exStyle, style.
        const bool extended = words[0] == 1 && words[1] == 0xFFFF;
        if (extended && size < 16) {
            return {};
        }
        DWORD* style = extended ? &copy[3] : &copy[0];
        *style &= ~static_cast<DWORD>(WS_VISIBLE);
    }
    return copy;
}

}  // namespace

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    (void)wParam;
    (void)lParam;
    if (message == WM_INITDIALOG) {
        CDialog* pDlg = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
        return pDlg != nullptr ? pDlg->OnInitDialog() : TRUE;
    }
    return FALSE;
}

BOOL CDialog::CreateFromTemplate(UINT nIDTemplate, HWND hWndParent, bool bHideInitially) {
    if (m_hWnd != nullptr) {
        return FALSE;
    }
    std::vector<DWORD> dlgTemplate = LoadDialogTemplate(nIDTemplate, bHideInitially);
    if (dlgTemplate.empty()) {
        ::OutputDebugStringW(L"CDialog: dialog template not found\n");
        return FALSE;
    }
    m_nModalResult = -1;
    m_bContinueModal = true;
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParamW(AfxGetResourceHandle(),
                                             reinterpret_cast<LPCDLGTEMPLATEW>(dlgTemplate.data()),
                                             hWndParent, AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    if (hWnd != nullptr && !m_bContinueModal) {
        // EndDialog ran inside OnInitDialog: the dialog ends before it is shown.
        ::DestroyWindow(hWnd);
        hWnd = nullptr;
    }
    return hWnd != nullptr && m_hWnd == hWnd;
}

INT_PTR CDialog::DoModal() {
    HWND hWndParent = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    if (hWndParent == nullptr) {
        CWnd* pMainWnd = AfxGetMainWnd();
        if (pMainWnd != nullptr && pMainWnd != this) {
            hWndParent = pMainWnd->m_hWnd;
        }
    }
    bool enableParent = false;
    if (hWndParent != nullptr && hWndParent != ::GetDesktopWindow() &&
        ::IsWindowEnabled(hWndParent)) {
        ::EnableWindow(hWndParent, FALSE);
        enableParent = true;
    }

    m_bModal = true;
    m_nModalResult = -1;
    const bool created = CreateFromTemplate(m_nIDHelp, hWndParent, true) != FALSE;
    if (created) {
        if (m_bContinueModal && !::IsWindowVisible(m_hWnd)) {
            ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
        }
        RunModalLoop();
        if (m_hWnd != nullptr) {
            ::SetWindowPos(
                m_hWnd, nullptr, 0, 0, 0, 0,
                SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        }
    }
    if (enableParent) {
        ::EnableWindow(hWndParent, TRUE);
    }
    if (created && m_hWnd != nullptr) {
        if (hWndParent != nullptr && ::GetActiveWindow() == m_hWnd) {
            ::SetActiveWindow(hWndParent);
        }
        DestroyWindow();
    }
    m_bModal = false;
    return m_nModalResult;
}

void CDialog::RunModalLoop() {
    while (m_bContinueModal && m_hWnd != nullptr) {
        MSG peek;
        if (!::PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            AfxDeleteTempMap();
        }
        int quitCode = 0;
        if (!AfxPumpMessage(m_hWnd, &quitCode)) {
            // WM_QUIT ends the loop and goes on to the outer loop, as in MFC.
            ::PostQuitMessage(quitCode);
            break;
        }
    }
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDHelp = nIDTemplate;
    m_pParentWnd = pParentWnd;
    m_bModal = false;
    return CreateFromTemplate(nIDTemplate, pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr,
                              false);
}

void CDialog::EndDialog(int nResult) {
    if (m_bModal || m_bContinueModal) {
        m_nModalResult = nResult;
        m_bContinueModal = false;
    }
    if (m_hWnd != nullptr) {
        // Hides the dialog (a modeless one stays alive) and wakes the loop.
        ::EndDialog(m_hWnd, nResult);
    }
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return !dx.m_bFail;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    if (CWnd::PreTranslateMessage(pMsg)) {
        return TRUE;
    }
    const UINT m = pMsg->message;
    const bool input =
        (m >= WM_KEYFIRST && m <= WM_KEYLAST) || (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST);
    return input && m_hWnd != nullptr && ::IsDialogMessageW(m_hWnd, pMsg);
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            *pResult = 0;
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            *pResult = 0;
            return TRUE;
        }
    }
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd != nullptr) {
        return;
    }
    HWND hWndCtrl = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (hWndCtrl == nullptr || !rControl.SubclassWindow(hWndCtrl)) {
        ::OutputDebugStringW(L"DDX_Control: no such control, or it is bound already\n");
        pDX->m_bFail = TRUE;
    }
}
