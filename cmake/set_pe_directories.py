"""Fills two data directories of an exe that GNU ld leaves empty:
set_pe_directories.py EXE MAP.

- the load configuration, at the _load_config_used structure (its own first
  field gives the size);
- the delay import table: dlltool's delay-load import libraries put one
  descriptor per DLL in .text$2, which the link lays out one after another,
  and base/system_dlls.cpp ends them with an empty one in .text$3.

Addresses come from the link map (the exe itself carries no symbols); the
checksum is recomputed."""
import re
import struct
import sys

from pe_image import DELAY_IMPORT, LOAD_CONFIG, PeImage

DESCRIPTOR = 32


def symbols(link_map, pattern):
    return [int(a, 16) for a in re.findall(r"^\s+0x([0-9a-f]+)\s+(?:%s)$" % pattern, link_map, re.M)]


def main():
    exe, map_file = sys.argv[1:]
    link_map = open(map_file).read()
    image = PeImage(open(exe, "rb").read())
    config = symbols(link_map, "_load_config_used")
    if len(config) != 1:
        sys.exit("set_pe_directories.py: _load_config_used not in %s" % map_file)
    rva = config[0] - image.image_base
    image.set_directory(LOAD_CONFIG, rva, struct.unpack_from("<I", image.data, image.offset(rva))[0])

    descriptors = sorted(symbols(link_map, r"__DELAY_IMPORT_DESCRIPTOR_\S+"))
    end = symbols(link_map, "parvelle_delay_import_end")
    if descriptors:
        expected = [descriptors[0] + DESCRIPTOR * i for i in range(len(descriptors) + 1)]
        if len(end) != 1 or descriptors + end != expected:
            sys.exit("set_pe_directories.py: the delay import descriptors are not one table")
        image.set_directory(DELAY_IMPORT, descriptors[0] - image.image_base,
                            DESCRIPTOR * (len(descriptors) + 1))
    image.update_checksum()
    if image.dependent_load_flags() is None or len(image.delay_loaded_dlls()) != len(descriptors):
        sys.exit("set_pe_directories.py: the directories do not read back")
    open(exe, "wb").write(image.data)


if __name__ == "__main__":
    main()
