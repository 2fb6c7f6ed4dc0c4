// How the exe finds the DLLs it uses (see system_dlls.h), and the load
// configuration that carries the same rule for its static imports.
#include "base/system_dlls.h"

#include <windows.h>
#include <delayimp.h>

#include <string>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

// The 64-bit load configuration, as far as the field that matters here. GNU ld
// does not point the PE header at it; cmake/set_pe_directories.py does after
// linking (it finds the structure by this name in the link map).
struct LoadConfiguration64 {
    DWORD Size;
    DWORD TimeDateStamp;
    WORD MajorVersion;
    WORD MinorVersion;
    DWORD GlobalFlagsClear;
    DWORD GlobalFlagsSet;
    DWORD CriticalSectionDefaultTimeout;
    ULONGLONG DeCommitFreeBlockThreshold;
    ULONGLONG DeCommitTotalFreeThreshold;
    ULONGLONG LockPrefixTable;
    ULONGLONG MaximumAllocationSize;
    ULONGLONG VirtualMemoryThreshold;
    ULONGLONG ProcessAffinityMask;
    DWORD ProcessHeapFlags;
    WORD CSDVersion;
    WORD DependentLoadFlags;  // at 0x4E
    ULONGLONG EditList;
    ULONGLONG SecurityCookie;
    ULONGLONG SEHandlerTable;
    ULONGLONG SEHandlerCount;
};
static_assert(offsetof(LoadConfiguration64, DependentLoadFlags) == 0x4E, "PE layout");
static_assert(sizeof(LoadConfiguration64) == 0x70, "PE layout");

constexpr LoadConfiguration64 MakeLoadConfiguration() {
    LoadConfiguration64 configuration{};
    configuration.Size = sizeof(LoadConfiguration64);
    configuration.DependentLoadFlags = LOAD_LIBRARY_SEARCH_SYSTEM32;
    return configuration;
}

extern "C" __attribute__((used)) const LoadConfiguration64 _load_config_used =
    MakeLoadConfiguration();

// The empty descriptor that ends the delay import table: the delay-load import
// libraries' descriptors lie in .text$2, which the link sorts before .text$3.
// Aligned as they are (16), so that no gap comes between (an optimising build
// would align a 32-byte object to 32).
extern "C" __attribute__((used, section(".text$3"), aligned(16)))
const ImgDelayDescr parvelle_delay_import_end = {};

namespace {

// Ends the program with a message naming what is missing from the system:
// continuing without it could only fail later in a less defined way.
[[noreturn]] void EndForMissing(const char* what, DWORD code) {
    std::wstring text = L"系统组件 ";
    for (const char* c = what; *c != '\0'; ++c) {
        text.push_back(static_cast<unsigned char>(*c));
    }
    text += L" 无法加载，程序无法运行。";
    ::MessageBoxW(nullptr, text.c_str(), L"", MB_OK | MB_ICONERROR | MB_TOPMOST);
    ::ExitProcess(code);
}

// Loads a system DLL (an ASCII base name from the exe's own delay import
// table) from System32: by that flag where Windows has it, else by full path.
HMODULE LoadFromSystem32(const char* name) {
    HMODULE module = ::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module != nullptr || ::GetLastError() != ERROR_INVALID_PARAMETER) {
        return module;
    }
    char folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    const std::string path = std::string(folder, length) + "\\" + name;
    return ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// Before the delay-load helper loads a DLL: load it here instead. Returning
// null would let the helper search the default path itself, so a DLL that is
// not in System32 ends the program.
FARPROC WINAPI BeforeDelayLoad(unsigned notification, PDelayLoadInfo info) {
    if (notification != dliNotePreLoadLibrary) {
        return nullptr;
    }
    HMODULE module = LoadFromSystem32(info->szDll);
    if (module == nullptr) {
        EndForMissing(info->szDll, ERROR_MOD_NOT_FOUND);
    }
    return reinterpret_cast<FARPROC>(module);
}

// A function the system's DLL lacks (an older Windows): the helper would
// raise an exception no one handles.
FARPROC WINAPI DelayLoadFailed(unsigned notification, PDelayLoadInfo info) {
    if (notification == dliFailGetProc && info->dlp.fImportByName) {
        EndForMissing((std::string(info->szDll) + "!" + info->dlp.szProcName).c_str(),
                      ERROR_PROC_NOT_FOUND);
    }
    EndForMissing(info->szDll,
                  notification == dliFailGetProc ? ERROR_PROC_NOT_FOUND : ERROR_MOD_NOT_FOUND);
}

}  // namespace

extern "C" {
PfnDliHook __pfnDliNotifyHook2 = BeforeDelayLoad;
PfnDliHook __pfnDliFailureHook2 = DelayLoadFailed;
}

bool RestrictDllSearchToSystem32() {
    ::SetDllDirectoryW(L"");
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
    const auto set_default =
        kernel32 ? reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
                       ::GetProcAddress(kernel32, "SetDefaultDllDirectories")))
                 : nullptr;
    return set_default != nullptr && set_default(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}

void BindDelayLoadedImports() {
    auto* base = reinterpret_cast<const BYTE*>(::GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT];
    if (directory.VirtualAddress == 0) {
        return;
    }
    for (const auto* descriptor =
             reinterpret_cast<const ImgDelayDescr*>(base + directory.VirtualAddress);
         descriptor->rvaDLLName != 0; ++descriptor) {
        __HrLoadAllImportsForDll(reinterpret_cast<const char*>(base + descriptor->rvaDLLName));
    }
}
