// CDialog / CDialogEx from dialog templates, and dialog data exchange.
//
// DoModal: creates the dialog from its template (WS_VISIBLE removed from a
// copy, so a dialog ended inside OnInitDialog is never shown), disables the
// owner, shows the dialog unless OnInitDialog showed it, and runs its own loop:
// each message is offered to PreTranslateMessage of its window and parents up
// to the dialog (CDialog::PreTranslateMessage calls IsDialogMessage), else
// translated and dispatched. EndDialog ends the loop; DoModal returns its code.
// Create(templateId, parent): modeless (child) dialog from a template.
// IsDialogMessage turns Escape into IDCANCEL -> OnCancel, Enter into IDOK -> OnOK.
// On a modeless dialog OnOK/OnCancel hide it (::EndDialog), as in MFC.
#pragma once

#include "framework/afxwnd.h"

class CDialog;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) noexcept
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate;  // TRUE: controls -> members; FALSE: members -> controls
    CWnd* m_pDlgWnd;
    BOOL m_bFail = FALSE;  // set when an exchange failed (UpdateData returns FALSE)
};

// Binds the dialog's control nIDC to rControl (subclassed: its messages reach
// the object). Done once; later exchanges leave the binding alone.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
public:
    CDialog() noexcept = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr) noexcept
        : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

    // Modal run; the EndDialog code, or -1 when the dialog could not be created.
    virtual INT_PTR DoModal();
    // Modeless dialog (e.g. a child page) from a template; FALSE on failure or
    // when EndDialog ran inside OnInitDialog.
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    using CWnd::Create;
    void EndDialog(int nResult);
    // Runs DoDataExchange; FALSE when an exchange failed.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    virtual BOOL OnInitDialog();  // UpdateData(FALSE); returns TRUE
    virtual void OnOK();          // UpdateData(TRUE), then EndDialog(IDOK)
    virtual void OnCancel();      // EndDialog(IDCANCEL)
    BOOL PreTranslateMessage(MSG* pMsg) override;

    UINT m_nIDHelp = 0;  // the template id
    CWnd* m_pParentWnd = nullptr;

protected:
    virtual void DoDataExchange(CDataExchange* pDX) { (void)pDX; }
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    BOOL CreateFromTemplate(UINT nIDTemplate, HWND hWndParent, bool bHideInitially);
    void RunModalLoop();

    bool m_bContinueModal = false;
    bool m_bModal = false;
    INT_PTR m_nModalResult = -1;
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM) noexcept;
};

class CDialogEx : public CDialog {
public:
    CDialogEx() noexcept = default;
    explicit CDialogEx(UINT nIDTemplate, CWnd* pParentWnd = nullptr) noexcept
        : CDialog(nIDTemplate, pParentWnd) {}
};
