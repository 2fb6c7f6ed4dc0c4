#pragma once
// The application object: one storefront per logon session, GDI+ for the
// life of the main window and the store's pictures, the main window run
// modally.
#include <windows.h>

#include "framework/afxapp.h"

class CparvelleApp : public CWinApp {
public:
    CparvelleApp();

    BOOL InitInstance() override;
};

extern CparvelleApp theApp;

// Session-local name of the single-instance marker.
constexpr wchar_t kSingleInstanceMutexName[] = L"parvelleapp20220305";
