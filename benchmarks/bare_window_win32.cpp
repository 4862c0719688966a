// The reference for the benchmarks under Wine: a Win32 window with the calculator's controls, a
// tooltip and the menu, whose Enter writes one field and does nothing else.
#include <windows.h>

#include <commctrl.h>

namespace {

constexpr int kSpeedId = 1;
constexpr int kResultId = 2;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The dialog manager's Enter, with no default button named.
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        SetWindowTextW(GetDlgItem(window, kResultId), L"4.5");
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

struct Control
{
    const wchar_t *className;
    const wchar_t *caption;
    DWORD style;
    int left, top, width, height;
    int id = 0;
};

constexpr Control kControls[] = {
    {WC_BUTTONW, L"&Imperial", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 168, 64, 73, 17},
    {WC_BUTTONW, L"&Metric", BS_AUTORADIOBUTTON, 320, 64, 73, 17},
    {WC_BUTTONW, L"C&lear", BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 314, 196, 85, 37},
    {WC_BUTTONW, L"&Calculate", BS_DEFPUSHBUTTON | WS_TABSTOP, 162, 196, 85, 37},
    {WC_EDITW, L"", ES_AUTOHSCROLL | WS_BORDER, 310, 148, 93, 28},
    {WC_EDITW, L"", ES_AUTOHSCROLL | WS_BORDER, 310, 104, 93, 28},
    {WC_EDITW, L"", ES_AUTOHSCROLL | WS_BORDER, 156, 148, 97, 28, kResultId},
    {WC_EDITW, L"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 156, 104, 97, 28, kSpeedId},
    {WC_STATICW, L"MM", 0, 408, 156, 25, 21},
    {WC_STATICW, L"MPS", 0, 408, 112, 33, 21},
    {WC_STATICW, L"IN", 0, 260, 156, 17, 21},
    {WC_STATICW, L"FPM", 0, 260, 112, 33, 21},
    {WC_STATICW, L"Minimum Runby", 0, 36, 156, 109, 21},
    {WC_STATICW, L"Speed", 0, 36, 112, 49, 21},
    {WC_STATICW, L"Tarnvale", SS_CENTER, 103, 16, 321, 25},
};

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show)
{
    // The labels' tooltips are a common control.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = L"Reference";
    RegisterClassW(&windowClass);

    HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, 100, L"&Runby Info\tCtrl+R");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
    RECT frame{0, 0, 527, 252};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    AdjustWindowRect(&frame, style, TRUE);
    HWND window = CreateWindowW(L"Reference", L"Reference", style, CW_USEDEFAULT, CW_USEDEFAULT,
        frame.right - frame.left, frame.bottom - frame.top, nullptr, bar, instance, nullptr);
    for (const Control &control : kControls)
        CreateWindowW(control.className, control.caption, WS_CHILD | WS_VISIBLE | control.style,
            control.left, control.top, control.width, control.height, window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
    HWND tips =
        CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, instance, nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(GetWindow(window, GW_CHILD));
    tool.lpszText = const_cast<wchar_t *>(L" Millimeters ");
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ShowWindow(window, show);
    SetFocus(GetDlgItem(window, kSpeedId));

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
