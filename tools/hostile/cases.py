"""The hostile cases of each request: faults for the store simulator.

Every case is a dict: "request" (getProductList ... picture), "family", "name"
(unique, stable), "faults" (simulator fault parameters without "request"),
"fault_request" (the simulator's request name the faults go to) and "fresh"
(the case needs new connections: TLS failures). Answers are derived from the
valid answers the simulator gives (`valid`, request -> bytes).
"""

import json
import random
import struct
import zlib

# The client's buffer of each request, in bytes, and the timeout it states.
CAPACITY = {"getProductList": 1048576, "getGroupConfig": 4096, "statisticsTap": 1024,
            "createOrder": 10240, "orderDetail": 4096, "orderList": 4096}
TIMEOUT = {"getProductList": 5, "getGroupConfig": 5, "statisticsTap": 5, "createOrder": 10,
           "orderDetail": 5, "orderList": 10, "picture": 10}
REQUESTS = ("getProductList", "getGroupConfig", "statisticsTap", "createOrder", "orderDetail",
            "orderList", "picture")

RAW = "\ue000RAW%d\ue000"  # stands for raw bytes in a serialised document

SWAPS = [None, True, False, 0, -1, 1, 2147483648, 1e308, 1.5, "", "x", "1000", [], {}, [1, "x"],
         {"a": 1}]
NUMBERS = [2147483647, 2147483648, -2147483648, -2147483649, 9223372036854775807,
           18446744073709551616, -1, -100000, 1e308, -1e308, 0.5, -0.0, 1e-320,
           "raw:1e400", "raw:-1e400", "raw:123456789012345678901234567890"]
STRINGS = ["A" * 10000, "\u4e2d" * 10000, "raw:\xff\xfe\xc0\x80bad", "raw:\xed\xa0\x80surrogate",
           "raw:\\ud800x", "raw:\\udc00\\ud800", "a\u0000b", "raw:a\x00b", "%s%n%x%p", "\u202e\ufeff\u200b", "\\\\?\\C:\\x",
           "file:///C:/windows/win.ini", "javascript:alert(1)", "https://localhost:1/x", " " * 300,
           "\r\n\t", "\U0001F600" * 3000]
# The members that carry links the program opens through the shell, and links
# in explorer's own syntax (commas and "=" separate items, "/root,PATH" and
# "/select,PATH" are switches), with blanks, "%", a UNC path, "file:" and a
# quote: opened, each must stay one quoted item of the Windows folder's
# explorer.exe, or not reach the shell at all.
LINK_KEYS = ("shop_url", "link_url", "help_link_url", "kf")
LINKS = ["https://help.example/,/root,C:\\Windows\\System32\\cmd.exe",
         "https://help.example/x,/select,C:\\Windows\\System32\\cmd.exe",
         "https://help.example/?a=1,b=2=3,/e,C:\\", "https://help.example/%SystemRoot%\\x.exe",
         "https://help.example/a b /root, C:\\x.exe", "https://help.example/,\\\\host\\share\\x.exe",
         "\\\\host\\share\\x.exe", "file:///C:/Windows/System32/cmd.exe",
         "https://help.example/\" /root,C:\\x.exe", ",/root,C:\\Windows\\System32\\cmd.exe",
         "=https://help.example/"]


def dumps(value):
    return json.dumps(value, ensure_ascii=False, separators=(",", ":"))


def encode(document, raws=()):
    """The document as bytes, RAW placeholders replaced by their raw bytes."""
    text = dumps(document).encode("utf-8", "surrogatepass")
    for i, raw in enumerate(raws):
        text = text.replace(dumps(RAW % i).encode("utf-8"), raw)
    return text


def paths(value, prefix=(), limit_items=2):
    """Every member path of a document (array elements: the first few)."""
    found = []
    if isinstance(value, dict):
        for key, child in value.items():
            found.append(prefix + (key,))
            found += paths(child, prefix + (key,), limit_items)
    elif isinstance(value, list):
        for i, child in enumerate(value[:limit_items]):
            found.append(prefix + (i,))
            found += paths(child, prefix + (i,), limit_items)
    return found


def replaced(document, path, new):
    copy = json.loads(json.dumps(document))
    node = copy
    for step in path[:-1]:
        node = node[step]
    node[path[-1]] = new
    return copy


def with_value(document, path, value):
    """(bytes) the document with the member at path set to value; "raw:" values are raw bytes."""
    if isinstance(value, str) and value.startswith("raw:"):
        raw = value[4:].encode("latin-1")
        if raw[:1].isdigit() or raw[:1] == b"-":
            return encode(replaced(document, path, RAW % 0), [raw])
        return encode(replaced(document, path, RAW % 0), [b'"' + raw + b'"'])
    return encode(replaced(document, path, value))


def label(path):
    return ".".join(str(p) for p in path)


def value_label(value):
    text = dumps(value) if not isinstance(value, str) else value
    if len(text) > 24:
        text = "%s..(%d)" % (text[:8], len(text))
    return text.encode("unicode_escape").decode("ascii")


class Builder:
    def __init__(self, request):
        self.request = request
        self.fault_request = "picture" if request == "picture" else request
        self.cases = []
        self.names = set()

    def add(self, family, name, *faults, fresh=False, fault_request=None):
        name = "%s/%s/%s" % (self.request, family, name)
        if name in self.names:
            return
        self.names.add(name)
        self.cases.append({"request": self.request, "family": family, "name": name,
                           "faults": [dict(f) for f in faults], "fresh": fresh,
                           "fault_request": fault_request or self.fault_request})

    def body(self, family, name, data, **extra):
        fault = {"kind": "body", "body_base64": _b64(data)} if data else {"kind": "body", "body": ""}
        fault.update(extra)
        self.add(family, name, fault)


def _b64(data):
    import base64
    return base64.b64encode(data).decode("ascii")


def cut_lengths(size, full):
    if full and size <= 1200:
        return list(range(size))
    step = max(1, size // (500 if full else 12))
    lengths = set(range(0, size, step)) | set(range(min(size, 40))) | set(range(max(0, size - 40), size))
    if not full:
        lengths = set(range(0, size, step)) | {1, size - 1}
    return sorted(lengths)


def transport_cases(b, valid, full):
    """Faults of the connection rather than the body; the same for every request."""
    timeout = TIMEOUT[b.request]
    b.add("transport", "drop", {"kind": "drop"})
    b.add("transport", "hang", {"kind": "hang", "max_ms": 60000})
    b.add("transport", "delay-over-timeout", {"kind": "delay", "ms": timeout * 1000 + 1500})
    b.add("transport", "delay-under-timeout", {"kind": "delay", "ms": timeout * 1000 - 2000})
    b.add("transport", "drip", {"kind": "drip", "interval_ms": 1000})
    for hops in (1, 5, 20, 50, 0):
        b.add("transport", "redirect-%s" % (hops or "loop"), {"kind": "redirect", "hops": hops})
    for status in (301, 302, 303, 307, 308):
        for location in ("http://localhost:1/plain", "file:///C:/windows/win.ini", "https://localhost:1/",
                         "::::", "", "ftp://localhost/x", "/relative?x=1"):
            if location == "":
                b.add("transport", "status-%d-no-location" % status, {"kind": "status", "status": status})
            else:
                b.add("transport", "redirect-%d-%s" % (status, location[:12]),
                      {"kind": "redirect", "hops": 1, "status": status, "location": location})
    for status in (100, 204, 304, 404, 500, 503, 599):
        b.add("transport", "status-%d-valid-body" % status,
              {"kind": "body", "status": status, "body_base64": _b64(valid)})
        b.add("transport", "status-%d-empty" % status, {"kind": "status", "status": status})
    b.add("transport", "not-json", {"kind": "not_json"})
    b.add("transport", "content-type-html", {"kind": "body", "content_type": "text/html",
                                             "body_base64": _b64(valid)})
    for send in sorted({0, 1, len(valid) // 2, len(valid) - 1}):
        b.add("transport", "truncated-%d" % send, {"kind": "truncated", "send": send})
    b.add("transport", "truncated-claims-1TiB", {"kind": "truncated", "send": 10, "length": 1 << 40})
    for mode in ("close", "reset", "plain", "garbage", "alert", "stall"):
        b.add("transport", "tls-" + mode, {"kind": "tls", "mode": mode, "max_ms": 60000, "count": 1},
              fresh=True, fault_request="connection")
    if full:
        for ms in (10, 100, 300):
            b.add("transport", "drip-%dms" % ms, {"kind": "drip", "interval_ms": ms})


def size_cases(b, valid, full):
    capacity = CAPACITY.get(b.request)
    sizes = set()
    for base in (1024, 4096, 10240, 1048576):
        if base >= len(valid) + 40:
            sizes |= {base - 2, base - 1, base, base + 1}
    sizes |= {2 << 20, 16 << 20} if full else {2 << 20}
    if capacity:
        sizes |= {capacity - 1, capacity, capacity + 1}
    for size in sorted(s for s in sizes if s > len(valid) + 20):
        b.add("size", "oversized-%d" % size, {"kind": "oversized", "bytes": size})
    for size in sorted(s for s in sizes if s <= (1 << 20) + 2):
        # Spaces after a valid answer: still valid JSON at every size.
        b.body("size", "trailing-space-%d" % size, valid + b" " * max(0, size - len(valid)))


def json_cases(request, valid, full, seed=15):
    b = Builder(request)
    document = json.loads(valid)
    rng = random.Random(seed)
    data_paths = paths(document, limit_items=2 if full else 1)

    for n in cut_lengths(len(valid), full):
        b.body("cut", "len-%d" % n, valid[:n])

    for path in data_paths:
        for value in (SWAPS if full else SWAPS[::4]):
            b.body("swap", "%s=%s" % (label(path), value_label(value)), encode(replaced(document, path, value)))

    numeric = [p for p in data_paths if _at(document, p).__class__ in (int, float)]
    for path in numeric:
        for value in (NUMBERS if full else NUMBERS[::5]):
            b.body("number", "%s=%s" % (label(path), value_label(value)), with_value(document, path, value))

    textual = [p for p in data_paths if isinstance(_at(document, p), str)]
    for path in textual:
        for value in (STRINGS if full else STRINGS[::5]):
            b.body("string", "%s=%s" % (label(path), value_label(value)), with_value(document, path, value))

    for path in [p for p in textual if p[-1] in LINK_KEYS]:
        for i, link in enumerate(LINKS):
            b.body("link", "%s=%d" % (label(path), i), with_value(document, path, link))

    for depth in (10, 999, 1000, 1001, 100000) if full else (1001, 100000):
        b.body("nesting", "array-%d" % depth, b'{"status_code":1000,"data":' + b"[" * depth + b"]" * depth + b"}")
        b.body("nesting", "object-%d" % depth,
               b'{"status_code":1000,"data":' + b'{"a":' * depth + b"1" + b"}" * depth + b"}")
        b.body("nesting", "unclosed-%d" % depth, b'{"status_code":1000,"data":' + b"[" * depth)

    for path in [p for p in data_paths if isinstance(p[-1], str)]:
        parent_path, key = path[:-1], path[-1]
        parent = _at(document, parent_path) if parent_path else document
        if not isinstance(parent, dict):
            continue
        for value in ({"x": 1}, "dup", None) if full else ("dup",):
            text = dumps(parent)
            extra = '%s:%s,' % (dumps(key), dumps(value))
            before = "{" + extra + text[1:]
            after = text[:-1] + "," + extra[:-1] + "}"
            for where, variant in (("first", before), ("last", after)):
                b.body("duplicate", "%s=%s-%s" % (label(path), value_label(value), where),
                       _splice(document, parent_path, variant))

    for data in (None, True, 0, -1, "x", "", [], [None], [1, 2], [[]], {}, [{}], ["x"], 1e308, [[{}]]):
        b.body("data", "data=%s" % value_label(data), encode(dict(document, data=data)))
    for top in ("[]", "null", '"x"', "1000", "[{\"status_code\":1000}]", '{"status_code":"1000","data":{}}',
                '{"status_code":1000.5}', '{"status_code":1e400}', '{"data":{}}', "{}", "", " ",
                '{"status_code":1000,"data":{}}garbage', "\ufeff" + valid.decode("utf-8")):
        b.body("envelope", "top=%s" % value_label(top), top.encode("utf-8"))
    b.body("envelope", "nul-inside", valid[: len(valid) // 2] + b"\0" + valid[len(valid) // 2:])
    b.body("envelope", "nul-first", b"\0" + valid)
    b.body("envelope", "utf16", valid.decode("utf-8").encode("utf-16"))

    size_cases(b, valid, full)
    transport_cases(b, valid, full)

    # Seeded random compound mutations up to the target.
    target = 560 if full else 0
    count = 0
    while len(b.cases) < target:
        count += 1
        mutated = document
        for _ in range(rng.randint(1, 3)):
            path = rng.choice(data_paths)
            try:
                mutated = replaced(mutated, path, rng.choice(SWAPS + [rng.randint(-2 ** 40, 2 ** 40)]))
            except (KeyError, IndexError, TypeError):
                pass
        data = encode(mutated)
        if rng.random() < 0.3:
            data = bytes(c ^ (1 << rng.randint(0, 7)) if rng.random() < 0.01 else c for c in data)
        b.body("random", "r%d" % count, data)
    return b.cases


def _at(document, path):
    node = document
    for step in path:
        node = node[step]
    return node


def _splice(document, parent_path, parent_text):
    """The document with the object at parent_path replaced by raw JSON text."""
    return encode(replaced(document, parent_path, RAW % 0) if parent_path else RAW % 0,
                  [parent_text.encode("utf-8", "surrogatepass")])


# ---- pictures ---------------------------------------------------------------

def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(width, height, idat=b"", colour_type=0, depth=8, good_crc=True):
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, 0)
    head = png_chunk(b"IHDR", ihdr)
    if not good_crc:
        head = head[:-4] + b"\0\0\0\0"
    return b"\x89PNG\r\n\x1a\n" + head + png_chunk(b"IDAT", idat) + png_chunk(b"IEND", b"")


def bmp(width, height, bits=24, size_image=0, pixels=b""):
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, size_image, 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + 40 + len(pixels), 0, 0, 54) + info + pixels


def gif(width, height):
    return (b"GIF89a" + struct.pack("<HHBBB", width, height, 0, 0, 0) +
            b",\0\0\0\0" + struct.pack("<HH", width, height) + b"\0\x02\x02\x44\x01\0;")


def bomb_png(width, height):
    """A real gray PNG of width x height zero pixels, compressed (a decompression bomb)."""
    row = b"\0" * (width + 1)
    compressor = zlib.compressobj(9)
    parts = [compressor.compress(row) for _ in range(height)]
    parts.append(compressor.flush())
    return png(width, height, b"".join(parts))


def picture_cases(valid_png, full, seed=15):
    b = Builder("picture")
    rng = random.Random(seed)
    for n in cut_lengths(len(valid_png), full):
        b.body("cut", "len-%d" % n, valid_png[:n], content_type="image/png")
    for text in (b"", b"<html>404</html>", b'{"status_code":1000}', b"GIF89a", b"BM", b"\x89PNG\r\n\x1a\n",
                 b"\0" * 4096, b"\xff\xd8\xff\xe0", b"RIFF\0\0\0\0WEBP", b"%PDF-1.4"):
        b.body("not-picture", "bytes=%s" % value_label(text.decode("latin-1")), text)
    for i in range(40 if full else 3):
        size = rng.choice((1, 16, 600, 4096, 70000))
        b.body("not-picture", "random-%d" % i, bytes(rng.getrandbits(8) for _ in range(size)))
    claims = [(40000, 40000), (65535, 65535), (2147483647, 1), (1, 2147483647), (0, 0), (0, 10),
              (4294967295, 4294967295), (40000, 1), (1, 40000)]
    for w, h in claims:
        for colour, depth in ((0, 8), (6, 8), (2, 16)) if full else ((6, 8),):
            b.body("claims", "png-%dx%d-c%d" % (w, h, colour), png(w, h, zlib.compress(b"\0" * 64), colour, depth))
        b.body("claims", "bmp-%dx%d" % (w, h), bmp(min(w, 2 ** 31 - 1), min(h, 2 ** 31 - 1), 24, 16, b"\0" * 16))
        b.body("claims", "bmp-%dx%d-topdown" % (w, h), bmp(min(w, 2 ** 31 - 1), -min(h, 2 ** 31 - 1)))
        b.body("claims", "gif-%dx%d" % (w, h), gif(min(w, 65535), min(h, 65535)))
    b.body("claims", "png-bad-crc", png(40000, 40000, b"", good_crc=False))
    b.body("claims", "bmp-bits-0", bmp(10, 10, 0))
    b.body("claims", "bmp-bits-33", bmp(10, 10, 33))
    if full:
        b.body("claims", "png-bomb-40000x40000", bomb_png(40000, 40000))
    b.body("claims", "png-bomb-20000x20000", bomb_png(20000, 20000))
    for i in range(120 if full else 4):
        data = bytearray(valid_png)
        for _ in range(rng.randint(1, 8)):
            data[rng.randrange(len(data))] = rng.getrandbits(8)
        b.body("corrupt", "flip-%d" % i, bytes(data))
    for size in ((1 << 20) + 1, 20 << 20) if full else ((1 << 20) + 1,):
        b.add("size", "oversized-%d" % size, {"kind": "oversized", "bytes": size})
    # Far past the download limit, without a length and with one announced.
    b.add("size", "stream-128MiB", {"kind": "stream", "total": 128 << 20})
    b.add("size", "stream-128MiB-announced", {"kind": "stream", "total": 128 << 20, "length": 128 << 20})
    transport_cases(b, valid_png, full)
    return b.cases


def all_cases(valid, full):
    cases = {}
    for request in REQUESTS:
        if request == "picture":
            cases[request] = picture_cases(valid[request], full)
        else:
            cases[request] = json_cases(request, valid[request], full)
    return cases
