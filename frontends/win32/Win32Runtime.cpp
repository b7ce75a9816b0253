#include "frontends/win32/Win32Runtime.h"

#include "core/WindowLayout.h"
#include "core/frmLines.h"
#include "frontends/win32/Win32Rules.h"
#include "frontends/win32/WindowAnnotation.h"
#include "platform/StartFailure.h"
#include "platform/SystemPacerClock.h"
#include "platform/WideText.h"

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <exception>
#include <string>
#include <utility>

namespace vantrel {
namespace {

constexpr wchar_t kClassName[] = L"VantrelFrmLines";
constexpr int kStartId = 101;
constexpr int kLabelId = 102;
// IDI_ICON1 of the program's resource script.
constexpr WORD kIconId = 1;
constexpr WORD kArrowCursor = 32512;  // IDC_ARROW
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// The icon bits of a message box's buttons code: its values are MB_ICON*'s.
constexpr UINT kIconMask = 0x70;
// A pass serves what is queued; a flood of messages waits for the next pause.
constexpr int kMessagesPerPass = 256;
constexpr int kLogicalBigIcon = 32;
constexpr int kLogicalSmallIcon = 16;

// Ends a show early: the window is gone or the session asked the program to quit.
struct ShowStopped {};

using platform::Widen;

LPCWSTR IntResource(WORD id) { return reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(id)); }
WORD LowWord(WPARAM value) { return static_cast<WORD>(value & 0xFFFFU); }
WORD HighWord(WPARAM value) { return static_cast<WORD>((value >> 16U) & 0xFFFFU); }

// Functions newer than the oldest Windows the program starts on are looked
// up, not imported: the program still starts where they are missing.
template <typename Function>
Function SystemFunction(const wchar_t* module, const char* name)
{
    HMODULE const handle = GetModuleHandleW(module);
    if (handle == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(handle, name)));
}

// Per-monitor awareness, v2 where the system has it, declared before any
// window exists; older systems get the older calls. A call that is refused
// because the awareness is already set ends the search.
void DeclareDpiAwareness()
{
    using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    if (const auto setContext = SystemFunction<SetContext>(L"user32.dll", "SetProcessDpiAwarenessContext")) {
        if (setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) != FALSE || GetLastError() == ERROR_ACCESS_DENIED) {
            return;
        }
    }
    if (HMODULE const shcore = LoadLibraryW(L"shcore.dll")) {
        using SetAwareness = HRESULT(WINAPI*)(int);
        constexpr int kPerMonitorAware = 2;
        const auto setAwareness = reinterpret_cast<SetAwareness>(
            reinterpret_cast<void (*)()>(GetProcAddress(shcore, "SetProcessDpiAwareness")));
        const HRESULT result = setAwareness != nullptr ? setAwareness(kPerMonitorAware) : E_NOTIMPL;
        if (result == S_OK || result == E_ACCESSDENIED) {
            return;
        }
    }
    using SetAware = BOOL(WINAPI*)();
    if (const auto setAware = SystemFunction<SetAware>(L"user32.dll", "SetProcessDPIAware")) {
        setAware();
    }
}

UINT ScreenDpi()
{
    HDC const screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

UINT DpiOfWindow(HWND window)
{
    using GetDpi = UINT(WINAPI*)(HWND);
    static const auto getDpi = SystemFunction<GetDpi>(L"user32.dll", "GetDpiForWindow");
    const UINT dpi = getDpi != nullptr ? getDpi(window) : 0;
    return dpi != 0 ? dpi : ScreenDpi();
}

// The system's message font at `dpi`, as dialogs and message boxes use it.
HFONT MessageFont(UINT dpi)
{
    using ParametersForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto forDpi = SystemFunction<ParametersForDpi>(L"user32.dll", "SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (forDpi == nullptr || forDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi) == FALSE) {
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0) == FALSE) {
            return nullptr;
        }
        // Older systems give it at the system's DPI.
        metrics.lfMessageFont.lfHeight =
            MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(ScreenDpi()));
    }
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

}  // namespace

Win32Runtime::Win32Runtime(HINSTANCE instance, Options options)
    : instance_(instance),
      options_(options),
      picture_(kClientWidth, kClientHeight, 1.0, PixelOf(0)),
      clock_(MakeSystemPacerClock()),
      pacer_(*clock_),
      random_(options.seed),
      caption_(kLabelText)
{
}

Win32Runtime::~Win32Runtime()
{
    annotation_.reset();
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
    for (HICON icon : {buttonIcon_, bigIcon_, smallIcon_}) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

bool Win32Runtime::Create()
{
    // Registers the button and static classes (themed where UseThemedControls took).
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    // A DC of its own: a step's copy to the screen need not set one up each time.
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon =
        static_cast<HICON>(LoadImageW(instance_, IntResource(kIconId), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    windowClass.hCursor = static_cast<HCURSOR>(
        LoadImageW(nullptr, IntResource(kArrowCursor), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass) == 0) {
        return false;
    }
    // Sized once its DPI is known.
    CreateWindowExW(0, kClassName, Widen(WindowCaption()).c_str(), kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    kClientWidth, kClientHeight, nullptr, nullptr, instance_, this);
    if (window_ == nullptr) {
        return false;
    }
    // The window's own DC (CS_OWNDC), kept: a step's copy sets none up.
    dc_ = GetDC(window_);
    // Invisible: only the pauses write its caption, and screen readers skip it.
    label_ = CreateWindowExW(0, L"STATIC", Widen(kLabelText).c_str(), WS_CHILD | SS_LEFT, 0, 0, 0, 0, window_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLabelId)), instance_, nullptr);
    button_ = CreateWindowExW(0, L"BUTTON", Widen(kButtonText).c_str(),
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0, window_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStartId)), instance_, nullptr);
    if (label_ == nullptr || button_ == nullptr) {
        return false;
    }
    ApplyDpi(DpiOfWindow(window_), nullptr);
    annotation_ = std::make_unique<WindowAnnotation>(window_, Widen(kCaptionTitle), Widen(kCaptionCredit));
    return true;
}

void Win32Runtime::Show(int showCommand)
{
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    SetFocus(button_);
}

int Win32Runtime::Run()
{
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(message.wParam);
        }
        if (got == -1) {
            return 1;
        }
        // Tab, Return and Enter (the default button) and Alt+S, as in a dialog.
        if (window_ != nullptr && IsDialogMessageW(window_, &message) != FALSE) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool Win32Runtime::Dispatch(const std::function<void()>& handler)
{
    // A press that reaches the button during a show (an accessibility client
    // can send one) must not start a second show inside it.
    if (dispatching_) {
        return true;
    }
    dispatching_ = true;
    std::optional<std::string> message;
    try {
        handler();
    } catch (const ShowStopped&) {           // the program is already ending
    } catch (const std::exception& error) {  // run-time errors, and anything the library throws
        message = error.what();
    }
    dispatching_ = false;
    pausing_ = false;
    if (quit_) {
        PostQuitMessage(*quit_);
        return true;
    }
    if (window_ == nullptr) {
        return true;
    }
    if (!message) {
        // A close that came during the show is done now that the greeting is answered.
        if (std::exchange(closeRequested_, false)) {
            DestroyWindow(window_);
        }
        return true;
    }
    Flush();
    std::fprintf(stderr, "vantrel: run-time error: %s\n", message->c_str());
    const std::wstring text = L"Vantrel stopped because of a run-time error:\n\n" + Widen(*message);
    MessageBoxW(window_, text.c_str(), Widen(kProductName).c_str(), MB_OK | MB_ICONERROR);
    exitStatus_ = 1;
    DestroyWindow(window_);
    return false;
}

Pixel Win32Runtime::PixelOfColour(Colour colour) const
{
    // A COLORREF is laid out as the program's own colour values.
    if ((colour & kSystemColourFlag) != 0) {
        return PixelOf(GetSysColor(static_cast<int>(colour & 0xFFU)));
    }
    return PixelOf(colour);
}

void Win32Runtime::Line(float x1, float y1, float x2, float y2, Colour colour)
{
    // The previous pause ends when the next step starts to draw.
    pausing_ = false;
    pacer_.Settle();
    picture_.DrawLine(x1, y1, x2, y2, PixelOfColour(colour));
}

void Win32Runtime::Cls()
{
    pausing_ = false;
    pacer_.Settle();
    picture_.Clear(PixelOfColour(backColor_));
    Flush();
}

void Win32Runtime::Caption(std::string_view text)
{
    // A pause writes the same caption thousands of times with nothing drawn
    // in between: every round but the first is only the pacer's.
    if (pausing_ && text == caption_) [[likely]] {
        pacer_.Round();
        return;
    }
    // The first round shows the step and serves the window system.
    const bool firstRound = !pausing_;
    pausing_ = true;
    if (firstRound) {
        Flush();
    }
    if (caption_ != text) {
        caption_ = text;
        SetWindowTextW(label_, Widen(text).c_str());
    }
    if (firstRound) {
        ServeWindowSystem();
    }
    pacer_.Round();
}

void Win32Runtime::ShowMessageBox(std::string_view prompt, int buttons, std::string_view title)
{
    pausing_ = false;
    Flush();
    // A key pressed in the last step of a show must not answer the box.
    ServeWindowSystem();
    pacer_.Settle();
    if (options_.reportPressToGreeting) {
        const std::chrono::duration<double> shown = std::chrono::steady_clock::now() - pressed_;
        std::printf("press_to_greeting_s %.4f\n", shown.count());
        std::fflush(stdout);
    }
    MessageBoxW(window_, Widen(prompt).c_str(), Widen(title).c_str(), MB_OK | (static_cast<UINT>(buttons) & kIconMask));
    pacer_.Restart();
}

void Win32Runtime::Flush()
{
    const PixelRect dirty = picture_.TakeDirty();
    if (dirty.Empty() || window_ == nullptr || IsWindowVisible(window_) == FALSE) {
        return;
    }
    Paint(dc_, dirty);
}

void Win32Runtime::Paint(HDC dc, const PixelRect& area) const
{
    const PixelRect rows{std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, picture_.Width()),
                         std::min(area.bottom, picture_.Height())};
    if (rows.Empty()) {
        return;
    }
    // The picture's own buffer, from the first row of the area on, as a
    // top-down DIB exactly as tall as the area: copied 1:1, never scaled.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = picture_.Width();
    info.bmiHeader.biHeight = -rows.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const Pixel* first =
        picture_.Pixels() + static_cast<std::size_t>(rows.top) * static_cast<std::size_t>(picture_.Width());
    SetDIBitsToDevice(dc, rows.left, rows.top, static_cast<DWORD>(rows.Width()), static_cast<DWORD>(rows.Height()),
                      rows.left, 0, 0, static_cast<UINT>(rows.Height()), first, &info, DIB_RGB_COLORS);
}

void Win32Runtime::ServeWindowSystem()
{
    MSG message{};
    for (int i = 0; i < kMessagesPerPass && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE; ++i) {
        if (message.message == WM_QUIT) {
            quit_ = static_cast<int>(message.wParam);
            throw ShowStopped{};
        }
        switch (Classify(message.message, message.wParam)) {
        case HeldMessage::Serve:
            DispatchMessageW(&message);
            break;
        case HeldMessage::KeepClose:
            closeRequested_ = true;
            break;
        case HeldMessage::Drop:
            break;
        }
    }
    if (window_ == nullptr) {
        throw ShowStopped{};
    }
}

SIZE Win32Runtime::WindowSizeAt(UINT dpi) const
{
    const DeviceLayout layout = LayoutAt(dpi);
    RECT frame{0, 0, layout.clientWidth, layout.clientHeight};
    using AdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = SystemFunction<AdjustForDpi>(L"user32.dll", "AdjustWindowRectExForDpi");
    if (adjustForDpi == nullptr || adjustForDpi(&frame, kWindowStyle, FALSE, 0, dpi) == FALSE) {
        AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void Win32Runtime::ApplyDpi(UINT dpi, const RECT* suggested)
{
    const DeviceLayout layout = LayoutAt(dpi);
    // Drawn again from its record: the same pixels as if drawn at this ratio from the start.
    if (RatioOfDpi(dpi) != picture_.Ratio()) {
        picture_.SetRatio(RatioOfDpi(dpi));
    }

    HFONT const font = MessageFont(dpi);
    for (HWND control : {button_, label_}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
    font_ = font;
    const auto place = [](HWND control, const PixelRect& r) {
        SetWindowPos(control, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(button_, layout.button);
    place(label_, layout.label);

    const auto loadIcon = [this](int size) {
        return static_cast<HICON>(LoadImageW(instance_, IntResource(kIconId), IMAGE_ICON, size, size, 0));
    };
    const double ratio = RatioOfDpi(dpi);
    HICON const buttonIcon = loadIcon(layout.buttonIcon);
    HICON const bigIcon = loadIcon(LogicalToDevice(kLogicalBigIcon, ratio));
    HICON const smallIcon = loadIcon(LogicalToDevice(kLogicalSmallIcon, ratio));
    SendMessageW(button_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(buttonIcon));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    for (HICON old : {std::exchange(buttonIcon_, buttonIcon), std::exchange(bigIcon_, bigIcon),
                      std::exchange(smallIcon_, smallIcon)}) {
        if (old != nullptr) {
            DestroyIcon(old);
        }
    }

    // The same logical size at the new DPI, where the system suggests.
    const SIZE size = WindowSizeAt(dpi);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    const int x = suggested != nullptr ? suggested->left : 0;
    const int y = suggested != nullptr ? suggested->top : 0;
    if (suggested == nullptr) {
        flags |= SWP_NOMOVE;
    }
    SetWindowPos(window_, nullptr, x, y, size.cx, size.cy, flags);
    // Some frames differ from what the system's arithmetic says: make the client area exact.
    RECT client{};
    GetClientRect(window_, &client);
    if (client.right != layout.clientWidth || client.bottom != layout.clientHeight) {
        SetWindowPos(window_, nullptr, 0, 0, size.cx + layout.clientWidth - client.right,
                     size.cy + layout.clientHeight - client.bottom, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
    InvalidateRect(window_, nullptr, FALSE);
}

LRESULT CALLBACK Win32Runtime::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* const self = static_cast<Win32Runtime*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* const self = reinterpret_cast<Win32Runtime*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT Win32Runtime::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND const window = window_;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC const dc = BeginPaint(window, &paint);
        Paint(dc, {paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right, paint.rcPaint.bottom});
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        // The picture covers the whole client area.
        return 1;
    case WM_COMMAND:
        if ((LowWord(wParam) == kStartId || LowWord(wParam) == IDOK) && HighWord(wParam) == BN_CLICKED && click_) {
            pressed_ = std::chrono::steady_clock::now();
            Dispatch(click_);
        }
        return 0;
    case DM_GETDEFID:
        return MAKELRESULT(kStartId, DC_HASDEFID);
    case WM_SETFOCUS:
        if (button_ != nullptr) {
            SetFocus(button_);
        }
        return 0;
    case WM_CLOSE:
        if (dispatching_) {
            closeRequested_ = true;
        } else {
            DestroyWindow(window);
        }
        return 0;
    case WM_DESTROY:
        annotation_.reset();
        PostQuitMessage(exitStatus_);
        return 0;
    case WM_NCDESTROY:
        window_ = nullptr;
        dc_ = nullptr;
        button_ = nullptr;
        label_ = nullptr;
        break;
    case WM_DPICHANGED:
        ApplyDpi(LowWord(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_GETDPISCALEDSIZE:
        *reinterpret_cast<SIZE*>(lParam) = WindowSizeAt(static_cast<UINT>(wParam));
        return TRUE;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The themed controls: the program carries no manifest of its own, so it
// makes the activation context that the shell's own library describes the
// process's default. Where that is missing the controls keep the classic look.
void UseThemedControls()
{
    wchar_t shell[MAX_PATH];
    const UINT length = GetSystemDirectoryW(shell, MAX_PATH);
    if (length == 0 || length + 13 >= MAX_PATH) {
        return;
    }
    std::wcscpy(shell + length, L"\\shell32.dll");
    constexpr WORD kShellControlsContext = 124;
    ACTCTXW context{};
    context.cbSize = sizeof(context);
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_SET_PROCESS_DEFAULT;
    context.lpSource = shell;
    context.lpResourceName = MAKEINTRESOURCEW(kShellControlsContext);
    // Kept for the process's life. Where the process has a default already
    // (a linker's own manifest), it is made active on this, the UI thread.
    if (CreateActCtxW(&context) == INVALID_HANDLE_VALUE) {
        context.dwFlags &= ~static_cast<DWORD>(ACTCTX_FLAG_SET_PROCESS_DEFAULT);
        HANDLE const threadContext = CreateActCtxW(&context);
        ULONG_PTR cookie = 0;
        if (threadContext != INVALID_HANDLE_VALUE) {
            static_cast<void>(ActivateActCtx(threadContext, &cookie));
        }
    }
}

int RunProgram(HINSTANCE instance, int showCommand, const Win32Runtime::Options& options)
{
    DeclareDpiAwareness();
    UseThemedControls();
    // For the accessibility annotations; the program runs without them too.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int status = 1;
    {
        Win32Runtime runtime(instance, options);
        if (!runtime.Create()) {
            ReportStartFailure("cannot create the window (system error " + std::to_string(GetLastError()) + ")");
        } else {
            frmLines form(runtime);
            runtime.SetClickHandler([&form] { form.cmdStart_Click(); });
            if (runtime.Dispatch([&form] { form.Form_Load(); })) {
                runtime.Show(showCommand);
                status = runtime.Run();
            }
        }
    }
    if (com == S_OK || com == S_FALSE) {
        CoUninitialize();
    }
    return status;
}

}  // namespace vantrel
