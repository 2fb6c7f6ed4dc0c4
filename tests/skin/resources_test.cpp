// The resource script: dialog templates, icon and manifest as the windows
// expect them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "resource.h"

namespace {

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

TEST(Resources, MainWindowTemplateIsAPopUpWithOnlyTheBorderlessNumberEdit) {
    HWND dialog =
        CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PARVELLE_DIALOG),
                           nullptr, &NoDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    const LONG style = GetWindowLongW(dialog, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU));
    EXPECT_TRUE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW);

    HWND edit = GetDlgItem(dialog, IDC_MOBILE_EDIT);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(_wcsicmp(ClassOf(edit).c_str(), L"Edit"), 0);
    const LONG editStyle = GetWindowLongW(edit, GWL_STYLE);
    const LONG wanted = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_NUMBER;
    EXPECT_EQ(editStyle & wanted, wanted);
    EXPECT_FALSE(editStyle & WS_BORDER);
    EXPECT_FALSE(GetWindowLongW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

    int controls = 0;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        ++controls;
    EXPECT_EQ(controls, 1);
    DestroyWindow(dialog);
}

TEST(Resources, PageTemplatesAreEmptyHiddenChildren) {
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    for (int id : {IDD_PAGE_PAY1, IDD_PAGE_EMPTY}) {
        HWND page = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), parent,
                                       &NoDialogProc, 0);
        ASSERT_NE(page, nullptr) << id;
        const LONG style = GetWindowLongW(page, GWL_STYLE);
        EXPECT_TRUE(style & WS_CHILD) << id;
        EXPECT_FALSE(style & (WS_VISIBLE | WS_CAPTION | WS_BORDER)) << id;
        EXPECT_EQ(GetWindow(page, GW_CHILD), nullptr) << id;
        EXPECT_EQ(GetParent(page), parent) << id;
        DestroyWindow(page);
    }
    DestroyWindow(parent);
}

TEST(Resources, ApplicationIcon) {
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    EXPECT_NE(icon, nullptr);
}

TEST(Resources, ManifestAsksForCommonControlsSixAsInvoker) {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(self, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(info, nullptr);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(self, info)));
    const std::string manifest(bytes, SizeofResource(self, info));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("asInvoker"), std::string::npos);

    // And the process runs with it: comctl32 is redirected to the assembly.
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof data;
    EXPECT_TRUE(FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                         L"comctl32.dll", &data));
}

}  // namespace
