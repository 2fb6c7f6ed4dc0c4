#pragma once
// The application object: one storefront per logon session, GDI+ for the
// life of the main window and the store's pictures, the main window run
// modally.
#include <windows.h>

#include "app/startup_sequence.h"
#include "framework/afxapp.h"

class CparvelleApp : public CWinApp {
public:
    CparvelleApp();

    BOOL InitInstance() override;

    // Handed to the main window. The shipped program leaves them unset (they
    // come from the process); a test build of the program fills them.
    StartupInputs startupInputs;
};

extern CparvelleApp theApp;

// Session-local name of the single-instance marker.
constexpr wchar_t kSingleInstanceMutexName[] = L"parvelleapp20220305";
