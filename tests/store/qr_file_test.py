"""The QR image file: WriteQrBitmap (through qr_write_tool.exe under Wine)
writes a top-down 24-bit BMP whose header fields are exact and whose picture
an independent decoder (zbarimg) reads back to the text; texts it cannot
encode and paths it cannot write leave no file."""

import os
import struct
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.environ.get("PARVELLE_SOURCE_DIR", ""), "tests", "e2e"))
import e2e_support as e2e  # noqa: E402

TOOL = os.path.join(e2e.BUILD_DIR, "tests", "store", "qr_write_tool.exe")


def wine_path(path):
    return "Z:" + path.replace("/", "\\")


class QrFileTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="qr-")

    def write(self, text, name="tmp.bin", directory=None):
        directory = directory or self.dir
        source = os.path.join(self.dir, name + ".txt")
        with open(source, "wb") as f:
            f.write(text.encode("utf-8"))
        target = os.path.join(directory, name)
        code = subprocess.run(["wine", TOOL, wine_path(source), wine_path(target)],
                              env=e2e.wine_env(), timeout=60).returncode
        return code, target

    def decode(self, bmp):
        # Lossless conversion to PNG; the symbol has no quiet zone of its own,
        # so the decoder gets a white margin around it.
        png = bmp + ".png"
        subprocess.run(["convert", "BMP:" + bmp, "-bordercolor", "white", "-border", "32", png],
                       check=True)
        out = subprocess.run(["zbarimg", "--raw", "-q", "-Sbinary", png], capture_output=True)
        self.assertEqual(out.returncode, 0, "zbarimg found no code")
        return out.stdout.rstrip(b"\n").decode("utf-8")

    def check_file(self, path):
        with open(path, "rb") as f:
            data = f.read()
        (sig, size, r1, r2, offset, info, width, height, planes, bits, compression, image_size,
         xres, yres, used, important) = struct.unpack_from("<2sIHHIIiiHHIIiiII", data)
        self.assertEqual(sig, b"BM")
        self.assertEqual((r1, r2, offset, info, planes, bits), (0, 0, 54, 40, 1, 24))
        self.assertEqual((compression, image_size, xres, yres, used, important), (0,) * 6)
        self.assertEqual(width % 8, 0)
        modules = width // 8
        self.assertEqual((modules - 17) % 4, 0, "not a QR symbol width")
        self.assertEqual(height, -width, "top row first")
        self.assertEqual(size, 54 + 3 * width * width)
        self.assertEqual(len(data), size)
        # Every module is an 8 x 8 square of pure black or white; the top-left
        # corner is the finder pattern's black edge.
        pixels = data[54:]
        self.assertEqual(set(pixels), {0, 255})
        self.assertEqual(pixels[:24], b"\0" * 24)
        return (modules - 17) // 4

    def test_texts_round_trip(self):
        cases = {
            "short": "https://localhost:1/pay/20261208001",
            "long": "https://pay.example.com/qr/" + "a1B2c3D4e5" * 7 + "xyz",
            "chinese": "扫码支付：光影创意设计套件 月度会员",
        }
        self.assertEqual(len(cases["long"]), 100)
        versions = {}
        for name, text in cases.items():
            with self.subTest(name):
                code, path = self.write(text, name + ".bin")
                self.assertEqual(code, 0)
                versions[name] = self.check_file(path)
                self.assertEqual(self.decode(path), text)
        self.assertGreater(versions["long"], 1)

    def test_refusals_leave_no_file(self):
        for name, text, directory in (
                ("empty", "", None),
                ("too long for any version", "x" * 3000, None),
                ("directory missing", "abc", os.path.join(self.dir, "missing"))):
            with self.subTest(name):
                code, path = self.write(text, "r.bin", directory)
                self.assertEqual(code, 1)
                self.assertFalse(os.path.exists(path))


if __name__ == "__main__":
    unittest.main(verbosity=2)
