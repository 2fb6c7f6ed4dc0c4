// qr_write_tool <text file> <bmp path>: WriteQrBitmap of the file's bytes,
// for the QR file test, which checks and decodes the picture on the Linux
// side. Exit code 0 when the file was written, 1 when WriteQrBitmap refused,
// 2 on bad arguments.
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "store/qr_bitmap.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) return 2;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string path = argv[2];
    return WriteQrBitmap(text, std::wstring(path.begin(), path.end())) ? 0 : 1;
}
