#pragma once
// The key filter every dialog of the program shares: Enter never reaches a
// default button, Escape cancels the dialog.
#include "framework/afxdialogex.h"

// PreTranslateMessage of the main window and the pages: WM_KEYDOWN with
// VK_RETURN is swallowed (TRUE); WM_KEYDOWN with VK_ESCAPE runs the dialog's
// OnCancel and then goes on like every other message to
// CDialogEx::PreTranslateMessage.
BOOL FilterDialogKeys(CDialogEx& dialog, MSG* pMsg);

// PreTranslateMessage of a page inside the main window: keys are left to the
// main window (FALSE), which owns the focus order across the page and its
// title strip and applies the key filter above to them; other input goes to
// CDialogEx::PreTranslateMessage.
BOOL FilterPageKeys(CDialogEx& page, MSG* pMsg);
