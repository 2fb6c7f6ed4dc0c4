// Internal to the framework: per-thread state and access to CWnd's internals.
#pragma once

#include <windows.h>

#include <memory>
#include <unordered_map>

#include "framework/afxwnd.h"

struct AfxThreadState {
    CWnd* pWndInit = nullptr;  // the object the next created window binds to
    HHOOK hHookCbt = nullptr;
    int hookCount = 0;
    MSG lastSentMsg{};  // the message being handled (for CWnd::Default)
    std::unordered_map<HWND, std::unique_ptr<CWnd>> tempMap;  // FromHandle wrappers
};

AfxThreadState& AfxGetThreadState();

// Binds the next window created on this thread to pWnd (nests).
void AfxHookWindowCreate(CWnd* pWnd);
void AfxUnhookWindowCreate();

struct AfxWndAccess {
    // Binds and subclasses (unless the window already runs AfxWndProc).
    static void Bind(CWnd* pWnd, HWND hWnd);
    // Restores the previous procedure and forgets the window.
    static void Unbind(CWnd* pWnd);
    // Dispatches one message to the object; detaches it after WM_NCDESTROY.
    static LRESULT Call(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};

// Takes one message, offers it to PreTranslateMessage of its window and parents
// up to hWndStop, else translates and dispatches it. FALSE on WM_QUIT (its code
// in *pQuitCode).
BOOL AfxPumpMessage(HWND hWndStop, int* pQuitCode);
