// The framework's main header, as MFC's afxwin.h: windows, message maps, GDI
// wrappers, the edit control and the application object. Dialogs are in
// framework/afxdialogex.h.
#pragma once

#include "framework/afxtypes.h"
#include "framework/afxgdi.h"
#include "framework/afxwnd.h"
#include "framework/afxmsgmap.h"
#include "framework/afxedit.h"
#include "framework/afxapp.h"
