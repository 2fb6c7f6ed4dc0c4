"""Checks that a shipped exe holds no test hook.

Usage: check_no_test_hooks.py EXE...

Test builds of the program read their inputs from variables named
PARVELLE_TEST_*; the shipped exe must not even contain such a name, whether
as narrow or as wide (UTF-16) text.
"""
import sys

MARKER = "PARVELLE_TEST"


def main():
    status = 0
    for exe in sys.argv[1:]:
        with open(exe, "rb") as f:
            data = f.read()
        found = [name for name, pattern in (("narrow", MARKER.encode("ascii")),
                                            ("wide", MARKER.encode("utf-16-le")))
                 if pattern in data]
        if found:
            print("%s: test hook text %s (%s)" % (exe, MARKER, ", ".join(found)))
            status = 1
        else:
            print("%s: no test hook text" % exe)
    return status


if __name__ == "__main__":
    sys.exit(main())
