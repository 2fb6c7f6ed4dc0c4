#include "config/data_folder.h"

#include <aclapi.h>
#include <shlobj.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "base/file_replace.h"
#include "base/scoped_handle.h"
#include "config/local_config.h"
#include "config/module_paths.h"

namespace {

// Rights that let someone put, replace or remove a file in a folder, or give
// themselves those rights.
constexpr ACCESS_MASK kChangeRights = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD |
                                      DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE |
                                      GENERIC_ALL;

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) {
    return IsWellKnownSid(sid, type) != FALSE;
}

// The user, and those who may change any file of the computer anyway.
bool IsTrusted(PSID sid, PSID user) {
    return EqualSid(sid, user) || IsWellKnown(sid, WinLocalSystemSid) ||
           IsWellKnown(sid, WinBuiltinAdministratorsSid);
}

struct LocalFreeDeleter {
    void operator()(void* p) const { LocalFree(p); }
};

// The account this process runs as; empty when it cannot be read.
std::vector<BYTE> CurrentUser() {
    ScopedHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.receive()))
        return {};
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> info(size);
    if (size == 0 || !GetTokenInformation(token.get(), TokenUser, info.data(), size, &size))
        return {};
    return info;
}

}  // namespace

bool SecurityIsPrivateTo(PSECURITY_DESCRIPTOR descriptor, PSID user) {
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (!GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) || owner == nullptr ||
        !IsTrusted(owner, user))
        return false;
    BOOL present = FALSE;
    PACL dacl = nullptr;
    // No access list, or a null one, lets everyone do everything.
    if (!GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) || !present ||
        dacl == nullptr)
        return false;
    bool userMayAdd = false;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACE_HEADER* header = nullptr;
        if (!GetAce(dacl, i, reinterpret_cast<void**>(&header)))
            return false;
        if (header->AceType == ACCESS_DENIED_ACE_TYPE)
            continue;  // takes rights away; whether the user can write is tried below
        // Any other kind of grant (conditional, object) is not understood here.
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE)
            return false;
        // An entry only subfolders inherit does not reach the folder or the
        // files the program creates in it; one its files inherit does.
        const bool onFolder = (header->AceFlags & INHERIT_ONLY_ACE) == 0;
        if (!onFolder && (header->AceFlags & OBJECT_INHERIT_ACE) == 0)
            continue;
        const auto* ace = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header);
        PSID sid = const_cast<DWORD*>(&ace->SidStart);
        // The owner's placeholders: the owner is trusted (checked above).
        if (IsWellKnown(sid, WinCreatorOwnerSid) || IsWellKnown(sid, WinCreatorOwnerRightsSid))
            continue;
        if ((ace->Mask & kChangeRights) != 0 && !IsTrusted(sid, user))
            return false;
        if (onFolder && EqualSid(sid, user) &&
            (ace->Mask & (FILE_ADD_FILE | GENERIC_WRITE | GENERIC_ALL)))
            userMayAdd = true;
    }
    return userMayAdd;
}

bool FolderIsPrivate(const std::wstring& dir) {
    std::vector<BYTE> user = CurrentUser();
    if (user.empty())
        return false;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(dir.c_str(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    std::unique_ptr<void, LocalFreeDeleter> owned(descriptor);
    if (!SecurityIsPrivateTo(descriptor, reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid))
        return false;
    // The permissions allow it; the medium must too. The trial file goes with
    // its owner.
    ReplacementFile trial(dir + L"\\config.ini");
    return trial.valid();
}

std::wstring PerUserDataFolder() {
    PWSTR base = nullptr;
    const HRESULT found =
        SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &base);
    std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> owned(base, CoTaskMemFree);
    if (FAILED(found) || base == nullptr || base[0] == L'\0')
        return {};
    std::wstring dir = std::wstring(base) + L"\\Parvelle";
    if (!CreateDirectoryW(dir.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return {};
    return dir;
}

bool SameFolder(const std::wstring& a, const std::wstring& b) {
    BY_HANDLE_FILE_INFORMATION info[2] = {};
    const std::wstring* paths[2] = {&a, &b};
    for (int i = 0; i < 2; ++i) {
        // Backup semantics: the only way to open a folder.
        ScopedHandle folder(CreateFileW(paths[i]->c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                        nullptr));
        if (!folder || !GetFileInformationByHandle(folder.get(), &info[i]))
            return false;
    }
    return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
           info[0].nFileIndexHigh == info[1].nFileIndexHigh &&
           info[0].nFileIndexLow == info[1].nFileIndexLow;
}

bool FillDataFolders(LocalConfig& config) {
    return FillDataFolders(config, FolderIsPrivate(config.moduleDir));
}

bool FillDataFolders(LocalConfig& config, bool moduleDirIsPrivate) {
    if (moduleDirIsPrivate) {
        config.dataDir = config.moduleDir;
        config.answerDir.clear();  // the current folder, whatever it is
    } else {
        config.dataDir = PerUserDataFolder();
        if (config.dataDir.empty())
            return false;
        // Started in its own folder (as the shortcut does): not there either.
        config.answerDir = SameFolder(L".", config.moduleDir) ? config.dataDir : std::wstring();
    }
    config.qrImagePath = QrImagePathIn(config.dataDir);
    // A QR image of an earlier run must never be shown; a missing file is fine.
    DeleteFileW(config.qrImagePath.c_str());
    return true;
}
