"""Reads (and patches) the parts of a 64-bit PE image the build and its checks
look at: data directories, the load configuration, the import tables."""
import struct

LOAD_CONFIG = 10
IMPORT = 1
DELAY_IMPORT = 13


class PeImage:
    def __init__(self, data):
        self.data = bytearray(data)
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE image")
        sections, optional_size = struct.unpack_from("<H12xH", self.data, pe + 6)
        self.optional = pe + 24
        if struct.unpack_from("<H", self.data, self.optional)[0] != 0x20B:
            raise ValueError("not a 64-bit image")
        self.image_base = struct.unpack_from("<Q", self.data, self.optional + 24)[0]
        self.checksum_offset = self.optional + 64
        self.directories = self.optional + 112
        table = self.optional + optional_size
        self.sections = [struct.unpack_from("<8xIIII", self.data, table + 40 * i)
                         for i in range(sections)]

    def directory(self, index):
        """(rva, size) of a data directory."""
        return struct.unpack_from("<II", self.data, self.directories + 8 * index)

    def set_directory(self, index, rva, size):
        struct.pack_into("<II", self.data, self.directories + 8 * index, rva, size)

    def offset(self, rva):
        for virtual_size, address, raw_size, raw in self.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                if rva - address >= raw_size:
                    raise ValueError("RVA 0x%x has no bytes in the file" % rva)
                return raw + rva - address
        raise ValueError("RVA 0x%x is in no section" % rva)

    def string(self, rva):
        start = self.offset(rva)
        return bytes(self.data[start:self.data.index(0, start)]).decode("ascii")

    def dependent_load_flags(self):
        """The load configuration's DependentLoadFlags, or None without one."""
        rva, size = self.directory(LOAD_CONFIG)
        if rva == 0 or size < 0x50:
            return None
        start = self.offset(rva)
        if struct.unpack_from("<I", self.data, start)[0] < 0x50:
            return None
        return struct.unpack_from("<H", self.data, start + 0x4E)[0]

    def imported_dlls(self):
        """The DLL names of the import table (loaded at start-up)."""
        return self._names(IMPORT, 20, 12)

    def delay_loaded_dlls(self):
        """The DLL names of the delay import table (loaded at first use)."""
        return self._names(DELAY_IMPORT, 32, 4)

    def _names(self, index, entry_size, name_field):
        rva, _ = self.directory(index)
        names = []
        while rva:
            entry = self.offset(rva)
            if not any(self.data[entry:entry + entry_size]):
                break
            names.append(self.string(struct.unpack_from("<I", self.data, entry + name_field)[0]))
            rva += entry_size
        return names

    def update_checksum(self):
        """Recomputes the header's checksum (the image file algorithm)."""
        struct.pack_into("<I", self.data, self.checksum_offset, 0)
        padded = bytes(self.data) + b"\0" * (len(self.data) % 2)
        total = 0
        for (word,) in struct.iter_unpack("<H", padded):
            total += word
            total = (total & 0xFFFF) + (total >> 16)
        total = (total & 0xFFFF) + (total >> 16)
        struct.pack_into("<I", self.data, self.checksum_offset, (total + len(self.data)) & 0xFFFFFFFF)
