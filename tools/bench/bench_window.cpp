#include "tools/bench/bench_window.h"

#include <cstdio>

#include "base/dib_section.h"
#include "net/http.h"
#include "pump.h"
#include "tools/bench/bench_support.h"

bool StartMainWindow(CparvelleDlg& dlg, const wchar_t* dir) {
    HttpGlobalInit();
    dlg.startupInputs.moduleDir = dir;
    dlg.startupInputs.firstArgument = L"";
    if (!dlg.Create(CparvelleDlg::IDD, nullptr)) {
        std::fprintf(stderr, "the store front did not start (store or adapter missing)\n");
        return false;
    }
    for (int i = 0; i < 20; ++i) {
        PumpPending();
        Sleep(10);
    }
    return true;
}

BlitFloor::BlitFloor(HWND window) : window_(window), dc_(GetDC(window)) {
    RECT client{};
    GetClientRect(window, &client);
    size_ = SIZE{client.right, client.bottom};
    memory_ = CreateCompatibleDC(dc_);
    bitmap_ = CreateTopDownDib(dc_, size_.cx, size_.cy);
    if (memory_ != nullptr && bitmap_ != nullptr) {
        old_ = SelectObject(memory_, bitmap_);
        PatBlt(memory_, 0, 0, size_.cx, size_.cy, WHITENESS);
    }
}

BlitFloor::~BlitFloor() {
    if (old_ != nullptr)
        SelectObject(memory_, old_);
    if (bitmap_ != nullptr)
        DeleteObject(bitmap_);
    if (memory_ != nullptr)
        DeleteDC(memory_);
    ReleaseDC(window_, dc_);
}

void BlitFloor::operator()() const {
    BitBlt(dc_, 0, 0, size_.cx, size_.cy, memory_, 0, 0, SRCCOPY);
    GdiFlush();
}
