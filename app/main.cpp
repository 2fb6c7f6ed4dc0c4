// Placeholder entry point until the main window exists: proves that the
// program links statically with its libraries and starts under Wine.
#include <curl/curl.h>  // before windows.h: it brings winsock2.h
#include <windows.h>
#include <cjson/cJSON.h>
#include <qrencode.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    curl_global_init(CURL_GLOBAL_ALL);
    cJSON* doc = cJSON_Parse("{}");
    cJSON_Delete(doc);
    QRcode* code = QRcode_encodeString("parvelle", 1, QR_ECLEVEL_L, QR_MODE_8, 1);
    QRcode_free(code);
    MessageBoxW(nullptr, L"Parvelle", L"Parvelle", MB_OK);
    return 0;
}
