"""Checks that an exe imports only DLLs that ship with Windows.

Usage: check_imports.py EXE WINEPREFIX

A DLL counts as a system DLL when the Wine prefix's system32 folder holds it
(Wine provides the system's DLLs there) and it is not one of the toolchain's
run-time libraries, which static linking must have folded into the exe.
"""
import os
import re
import subprocess
import sys

TOOLCHAIN_RUNTIMES = re.compile(r"^(libstdc\+\+|libgcc|libwinpthread|zlib|libcurl|libqrencode|libcjson)", re.I)


def imported_dlls(exe):
    out = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", exe], check=True,
                         capture_output=True, text=True).stdout
    return sorted(set(re.findall(r"DLL Name: (\S+)", out)), key=str.lower)


def main():
    exe, prefix = sys.argv[1], sys.argv[2]
    system32 = os.path.join(prefix, "drive_c", "windows", "system32")
    present = {name.lower() for name in os.listdir(system32)}
    dlls = imported_dlls(exe)
    bad = [d for d in dlls if TOOLCHAIN_RUNTIMES.match(d) or d.lower() not in present]
    print("imports:", ", ".join(dlls))
    if not dlls:
        print("no import table found")
        return 1
    if bad:
        print("not system DLLs:", ", ".join(bad))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
