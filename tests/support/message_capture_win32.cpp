#include <windows.h>

#include "message_capture.h"

namespace dorvan::test {

namespace {

MessageCapture *ActiveCapture = nullptr;
HHOOK Hook = nullptr;
HWND BoxRead = nullptr;  // a box is activated more than once; read it once

// The message box's window is activated once its controls exist: read
// it, then press OK.
LRESULT CALLBACK OnCbtEvent(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_DESTROYWND && reinterpret_cast<HWND>(wParam) == BoxRead)
        BoxRead = nullptr;
    char windowClass[16] = {};
    if (code == HCBT_ACTIVATE)
        GetClassNameA(reinterpret_cast<HWND>(wParam), windowClass, sizeof windowClass);
    // Other windows are activated too, the owner among them: only dialogs
    // of the message-box class are read.
    if (code == HCBT_ACTIVATE && ActiveCapture && reinterpret_cast<HWND>(wParam) != BoxRead &&
        lstrcmpA(windowClass, "#32770") == 0) {
        HWND box = reinterpret_cast<HWND>(wParam);
        BoxRead = box;
        wchar_t caption[512] = {}, text[2048] = {};
        char ansiText[2048] = {};
        GetWindowTextW(box, caption, 512);
        GetDlgItemTextW(box, 0xFFFF, text, 2048);
        GetDlgItemTextA(box, 0xFFFF, ansiText, 2048);
        ShownMessage shown;
        shown.caption = WideToUtf8(caption);
        shown.text = WideToUtf8(text);
        shown.ansiText = ansiText;
        shown.owner = GetWindow(box, GW_OWNER);
        ActiveCapture->Record(shown);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    return CallNextHookEx(Hook, code, wParam, lParam);
}

}  // namespace

std::string WideToUtf8(const wchar_t *text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
    return out;
}

MessageCapture::MessageCapture()
{
    ActiveCapture = this;
    Hook = SetWindowsHookExW(WH_CBT, OnCbtEvent, nullptr, GetCurrentThreadId());
}

MessageCapture::~MessageCapture()
{
    UnhookWindowsHookEx(Hook);
    Hook = nullptr;
    ActiveCapture = nullptr;
}

void *TestOwnerWindow()
{
    static HWND window = CreateWindowExA(0, "STATIC", "Dorvan test owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                         nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    return window;
}

bool StyleIsObservable() { return false; }

std::string ToAnsi(const std::string &utf8)
{
    int wide = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring text(wide, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &text[0], wide);
    int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &out[0], size, nullptr, nullptr);
    out.resize(size > 0 ? size - 1 : 0);
    return out;
}

}  // namespace dorvan::test
