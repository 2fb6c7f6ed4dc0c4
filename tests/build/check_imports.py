"""Checks where an exe takes its DLLs from.

Usage: check_imports.py EXE WINEPREFIX

- Every DLL it uses is a system DLL: the Wine prefix's system32 folder holds
  it (Wine provides the system's DLLs there) and it is not one of the
  toolchain's run-time libraries, which static linking must have folded in.
- It imports at start-up only Windows' known DLLs, which Windows always takes
  from System32; every other DLL is delay-loaded (the program loads those
  from System32 itself).
- Its load configuration asks Windows to resolve its imports from System32
  alone (DependentLoadFlags = LOAD_LIBRARY_SEARCH_SYSTEM32).
"""
import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "cmake"))
from pe_image import PeImage  # noqa: E402,F401  (the tests take it from here)

TOOLCHAIN_RUNTIMES = re.compile(r"^(libstdc\+\+|libgcc|libwinpthread|zlib|libcurl|libqrencode|libcjson)", re.I)
# Known DLLs of every Windows from 7 on (HKLM\SYSTEM\CurrentControlSet\Control\
# Session Manager\KnownDLLs); later versions add some (gdiplus from 8 on).
KNOWN_DLLS = {
    "advapi32.dll", "clbcatq.dll", "comdlg32.dll", "difxapi.dll", "gdi32.dll", "imagehlp.dll",
    "imm32.dll", "kernel32.dll", "msctf.dll", "msvcrt.dll", "normaliz.dll", "nsi.dll", "ole32.dll",
    "oleaut32.dll", "psapi.dll", "rpcrt4.dll", "sechost.dll", "setupapi.dll", "shell32.dll",
    "shlwapi.dll", "user32.dll", "wldap32.dll", "ws2_32.dll",
}
LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800


def main():
    exe, prefix = sys.argv[1], sys.argv[2]
    system32 = os.path.join(prefix, "drive_c", "windows", "system32")
    present = {name.lower() for name in os.listdir(system32)}
    image = PeImage(open(exe, "rb").read())
    direct, delayed = image.imported_dlls(), image.delay_loaded_dlls()
    print("imports:", ", ".join(direct))
    print("delay-loaded:", ", ".join(delayed))
    faults = []
    if not direct:
        faults.append("no import table found")
    bad = [d for d in direct + delayed if TOOLCHAIN_RUNTIMES.match(d) or d.lower() not in present]
    if bad:
        faults.append("not system DLLs: " + ", ".join(bad))
    unknown = [d for d in direct if d.lower() not in KNOWN_DLLS]
    if unknown:
        faults.append("imported at start-up but not known DLLs: " + ", ".join(unknown))
    flags = image.dependent_load_flags()
    if flags is None or not flags & LOAD_LIBRARY_SEARCH_SYSTEM32:
        faults.append("load configuration: DependentLoadFlags %s, not System32 only"
                      % ("missing" if flags is None else hex(flags)))
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
