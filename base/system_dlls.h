#pragma once

// The exe loads DLLs from the Windows system folder only, never from its own
// folder or the current one, where another user may have planted a DLL of
// a name it uses.
//
// Three layers: the exe's load configuration asks Windows 10 1607 and later
// to resolve its static imports from System32 (set after linking, see
// cmake/set_load_config.py); the DLLs that are not among Windows' known DLLs
// (which always come from System32) are delay-loaded, so that older Windows
// never resolves them at start-up from the exe's folder; and the process's
// default search path is System32 alone before the first of them loads.

// Makes System32 the only folder LoadLibrary searches by default (where
// SetDefaultDllDirectories exists: Windows 8, and 7 with its update), and
// drops the current folder from the search in any case. Returns false when
// only the latter was possible.
bool RestrictDllSearchToSystem32();

// Loads every delay-loaded DLL of the exe and resolves all of its functions,
// so that a DLL or function missing from the system ends the program here, at
// start-up, in the defined way (a message naming it, then exit code
// ERROR_MOD_NOT_FOUND or ERROR_PROC_NOT_FOUND) rather than at some later call.
void BindDelayLoadedImports();
