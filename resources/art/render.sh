#!/usr/bin/env bash
# Renders the skin's SVG sources to the PNG resources listed in pictures.tsv, each
# at 1x, 1.5x and 2x, and builds app.ico (icon resource 128) from 128_icon.svg.
#
# Only a developer who changes the artwork runs this; the build uses the
# committed PNGs and app.ico and never renders.
#
#   resources/art/render.sh            render everything
#   resources/art/render.sh --check    only verify the committed files' sizes
set -euo pipefail

art_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
res_dir=$(dirname "$art_dir")
table="$art_dir/pictures.tsv"
check_only=0
[[ "${1:-}" == "--check" ]] && check_only=1

need_pkg() { # $1 = test command, $2... = Debian packages
  local probe=$1
  shift
  if ! eval "$probe" >/dev/null 2>&1; then
    echo "installing $*" >&2
    apt-get install -y --no-install-recommends "$@" >/dev/null 2>&1 ||
      { apt-get update -qq && apt-get install -y --no-install-recommends "$@" >/dev/null; }
  fi
}

# Small PNG/ICO helper, so the script needs nothing beyond the renderer:
#   header PNG           prints "width height bitdepth colourtype"
#   rgba PNG...          rewrites 8-bit RGB or RGBA PNGs as 8-bit RGBA without ancillary chunks
#   ico DIR OUT          packs DIR/{16,24,32,48,256}.png into an icon file
read -r -d '' PNGTOOL <<'EOF' || true
import struct, sys, zlib

SIG = b'\x89PNG\r\n\x1a\n'

def chunks(data):
    pos = 8
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        yield kind, data[pos + 8:pos + 8 + length]
        pos += 12 + length

def read_rgba(path):
    data = open(path, 'rb').read()
    assert data[:8] == SIG, path
    idat = b''
    for kind, body in chunks(data):
        if kind == b'IHDR':
            w, h, depth, ctype, _, _, interlace = struct.unpack('>IIBBBBB', body)
            assert depth == 8 and ctype in (2, 6) and interlace == 0, path
        elif kind == b'IDAT':
            idat += body
    bpp = 4 if ctype == 6 else 3
    raw, stride, rows, prev = zlib.decompress(idat), w * bpp, [], bytearray(w * bpp)
    for y in range(h):
        base = y * (stride + 1)
        f, line = raw[base], bytearray(raw[base + 1:base + 1 + stride])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if f == 1: line[i] = (line[i] + a) & 255
            elif f == 2: line[i] = (line[i] + b) & 255
            elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        prev = line
        if bpp == 3:
            line = bytearray(b''.join(bytes(line[i:i + 3]) + b'\xff' for i in range(0, stride, 3)))
        rows.append(bytes(line))
    return w, h, rows

def write_rgba(path, w, h, rows):
    # Per row, the filter with the smallest sum of absolute values (the usual heuristic).
    out, prev = bytearray(), bytes(w * 4)
    for line in rows:
        best = None
        for f in range(5):
            enc = bytearray(len(line))
            for i in range(len(line)):
                a = line[i - 4] if i >= 4 else 0
                b = prev[i]
                c = prev[i - 4] if i >= 4 else 0
                if f == 0: pred = 0
                elif f == 1: pred = a
                elif f == 2: pred = b
                elif f == 3: pred = (a + b) // 2
                else:
                    p = a + b - c
                    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                    pred = a if pa <= pb and pa <= pc else b if pb <= pc else c
                enc[i] = (line[i] - pred) & 255
            cost = sum(v if v < 128 else 256 - v for v in enc)
            if best is None or cost < best[0]:
                best = (cost, f, enc)
        out += bytes((best[1],)) + best[2]
        prev = line
    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
    png = SIG + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(bytes(out), 9)) + chunk(b'IEND', b'')
    open(path, 'wb').write(png)

def dib(path):
    w, h, rows = read_rgba(path)
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels, mask = b'', b''
    mask_stride = ((w + 31) // 32) * 4
    for line in reversed(rows):
        pixels += b''.join(bytes((line[i + 2], line[i + 1], line[i], line[i + 3])) for i in range(0, w * 4, 4))
        bits = bytearray(mask_stride)
        for x in range(w):
            if line[x * 4 + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + pixels + mask

cmd, args = sys.argv[1], sys.argv[2:]
if cmd == 'header':
    data = open(args[0], 'rb').read(33)
    if data[:8] != SIG or data[12:16] != b'IHDR':
        print('0 0 0 0')
    else:
        print(*struct.unpack('>IIBB', data[16:26]))
elif cmd == 'rgba':
    for path in args:
        write_rgba(path, *read_rgba(path))
elif cmd == 'ico':
    # Small sizes go in as 32-bit DIBs with an AND mask (what every icon reader
    # knows); 256 goes in as PNG, as Windows expects for that size.
    src, out = args
    images = [(s, dib(f'{src}/{s}.png')) for s in (16, 24, 32, 48)]
    images.append((256, open(f'{src}/256.png', 'rb').read()))
    blob = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        dim = 0 if size >= 256 else size
        blob += struct.pack('<BBBBHHII', dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    blob += b''.join(data for _, data in images)
    open(out, 'wb').write(blob)
elif cmd == 'icocheck':
    data = open(args[0], 'rb').read()
    reserved, kind, count = struct.unpack('<HHH', data[:6])
    sizes = sorted((data[6 + 16 * i] or 256) for i in range(count))
    if (reserved, kind) != (0, 1) or sizes != [16, 24, 32, 48, 256]:
        sys.exit(f'bad icon {args[0]}: sizes {sizes}')
EOF
pngtool() { python3 -c "$PNGTOOL" "$@"; }

verify() { # $1 = png, $2 = width, $3 = height
  local got
  got=$(pngtool header "$1")
  if [[ "$got" != "$2 $3 8 6" ]]; then
    echo "bad picture $1: got '$got', want '$2 $3 8 6' (width height depth RGBA)" >&2
    return 1
  fi
}

if ((!check_only)); then
  need_pkg 'command -v rsvg-convert' librsvg2-bin
  need_pkg 'fc-list | grep -q "WenQuanYi Micro Hei"' fonts-wqy-microhei
  need_pkg 'fc-list | grep -q "DejaVu Sans"' fonts-dejavu-core
  mkdir -p "$res_dir/png"
fi

status=0
while IFS=$'\t' read -r id file width height frames; do
  [[ -z "$id" || "$id" == \#* ]] && continue
  # Each picture at 1x (the file the table names), 1.5x and 2x (suffixes @1.5x
  # and @2x): the program draws the variant that matches the display's scale.
  for scale in 2 3 4; do # halves: 1x, 1.5x, 2x
    w=$((width * scale / 2))
    h=$((height * scale / 2))
    if ((width * scale % 2 || height * scale % 2)); then
      echo "picture $id has no whole-pixel size at ${scale}/2 x" >&2
      status=1
      continue
    fi
    case $scale in 2) suffix= ;; 3) suffix=@1.5x ;; 4) suffix=@2x ;; esac
    out="$res_dir/${file%.png}$suffix.png"
    if ((!check_only)); then
      svg="$art_dir/$(basename "$file" .png).svg"
      rsvg-convert --width "$w" --height "$h" --format png "$svg" --output "$out"
      pngtool rgba "$out"
    fi
    verify "$out" "$w" "$h" || status=1
    if ((frames == 2 && w % 2 != 0)); then
      echo "picture $id has two frames but an odd width $w at ${scale}/2 x" >&2
      status=1
    fi
  done
done <"$table"

if ((!check_only)); then
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' EXIT
  for size in 16 24 32 48 256; do
    rsvg-convert --width $size --height $size --format png "$art_dir/128_icon.svg" --output "$tmp/$size.png"
  done
  pngtool ico "$tmp" "$res_dir/app.ico"
fi

# The icon must hold the five sizes.
pngtool icocheck "$res_dir/app.ico" || status=1

if ((status == 0)); then
  echo "pictures and icon are in order"
fi
exit $status
