// Paint benchmark under Wine: one paint of the main window against the floor of a paint that
// composes off screen (one block transfer of a window-sized surface to the window), and a drag
// across the hue disc: paints per second and the time from a pointer move to the swatch showing
// the new colour. Not a test: it prints figures.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "core/rules/picker_rules.h"
#include "panel/windows/app/setup_application.h"
#include "panel/windows/window/startup_messages.h"
#include "panel/windows/gdi/gdi_objects.h"
#include "panel/windows/state/program_state.h"

namespace {

using Clock = std::chrono::steady_clock;

HWND mainWindow = nullptr;

class PrintedMessages : public StartupMessages {
  public:
    void Show(const wchar_t* text, const wchar_t*) override {
        std::fwprintf(stderr, L"start-up failed: %ls\n", text);
    }
};

// The panel's paints, counted on their way to its window procedure.
unsigned long panelPaints = 0;
WNDPROC panelProcedure = nullptr;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) ++panelPaints;
    return CallWindowProcW(panelProcedure, window, message, wParam, lParam);
}

void CountPanelPaints(HWND mainWindow) {
    panelProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)));
}

void Pump() {
    MSG message = {};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

double MicrosecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// One window-sized transfer from an off-screen surface to the window, as a paint ends.
double FloorMicroseconds(int rounds) {
    RECT outer = {};
    GetWindowRect(mainWindow, &outer);
    const HDC windowDc = GetDC(mainWindow);
    const MemorySurface back(windowDc, outer.right - outer.left, outer.bottom - outer.top,
                             WHITENESS);
    const auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        BitBlt(windowDc, 0, 0, outer.right - outer.left, outer.bottom - outer.top, back.dc(), 0, 0,
               SRCCOPY);
        GdiFlush();
    }
    const double each = MicrosecondsSince(start) / rounds;
    ReleaseDC(mainWindow, windowDc);
    return each;
}

// The same request on a window of the same size whose paint makes only its back surface and
// copies it in one transfer: the floor for a paint that composes off screen, with the window
// system's own cost of a paint included.
LRESULT CALLBACK FloorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
    const PaintSession paint(window);
    RECT outer = {};
    GetWindowRect(window, &outer);
    const MemorySurface back(paint.dc(), outer.right - outer.left, outer.bottom - outer.top,
                             WHITENESS);
    BitBlt(paint.dc(), 0, 0, outer.right - outer.left, outer.bottom - outer.top, back.dc(), 0, 0,
           SRCCOPY);
    return 0;
}

double RepaintMicroseconds(HWND window, int rounds) {
    const RECT picker = {kPickerBox.left, kPickerBox.top, kPickerBox.right, kPickerBox.bottom};
    const auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        InvalidateRect(window, &picker, FALSE);
        UpdateWindow(window);
    }
    return MicrosecondsSince(start) / rounds;
}

HWND CreateFloorWindow() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = FloorWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"PaintFloor";
    RegisterClassW(&windowClass);
    RECT outer = {};
    GetWindowRect(mainWindow, &outer);
    const HWND window = CreateWindowW(L"PaintFloor", L"floor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                      0, outer.right - outer.left, outer.bottom - outer.top,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    Pump();
    return window;
}

struct DragFigures {
    int moves = 0;
    double seconds = 0;
    double paintsPerSecond = 0;
    double meanLatencyMs = 0;
    double maxLatencyMs = 0;
};

COLORREF SwatchOnScreen() {
    const HDC dc = GetDC(mainWindow);
    const COLORREF pixel = GetPixel(dc, 80, 150);
    ReleaseDC(mainWindow, dc);
    return pixel;
}

void SendPointer(UINT message, WPARAM buttons, POINT client) {
    SendMessageW(mainWindow, WM_SETCURSOR, reinterpret_cast<WPARAM>(mainWindow),
                 MAKELPARAM(HTCLIENT, message));
    SendMessageW(mainWindow, message, buttons, MAKELPARAM(client.x, client.y));
}

// Drags along a circle of radius 100 round the disc centre, one pointer move per degree, and
// waits at each for the swatch to show the colour under the pointer.
DragFigures Drag(int turns) {
    DragFigures figures;
    POINT client = {kDiscCentreX + 100, kDiscCentreY};
    POINT screen = client;
    ClientToScreen(mainWindow, &screen);
    SetCursorPos(screen.x, screen.y);
    Pump();
    SendPointer(WM_LBUTTONDOWN, MK_LBUTTON, client);
    std::vector<double> latencies;
    const unsigned long paintsBefore = panelPaints;
    const auto start = Clock::now();
    for (int step = 1; step <= 360 * turns; ++step) {
        const double angle = step * 3.14159265358979 / 180.0;
        client = {kDiscCentreX + static_cast<int>(std::lround(100 * std::cos(angle))),
                  kDiscCentreY + static_cast<int>(std::lround(100 * std::sin(angle)))};
        const COLORREF expected = GetPixel(Program().skin1.dc(), client.x - kHueImageOrigin.x,
                                           client.y - kHueImageOrigin.y);
        const auto moved = Clock::now();
        screen = client;
        ClientToScreen(mainWindow, &screen);
        SetCursorPos(screen.x, screen.y);
        SendPointer(WM_MOUSEMOVE, MK_LBUTTON, client);
        for (int wait = 0; wait < 1000 && SwatchOnScreen() != expected; ++wait) Pump();
        latencies.push_back(MicrosecondsSince(moved) / 1000.0);
    }
    figures.seconds = MicrosecondsSince(start) / 1e6;
    SendPointer(WM_LBUTTONUP, 0, client);
    Pump();
    figures.moves = static_cast<int>(latencies.size());
    figures.paintsPerSecond = (panelPaints - paintsBefore) / figures.seconds;
    double sum = 0;
    for (double latency : latencies) sum += latency;
    figures.meanLatencyMs = sum / latencies.size();
    figures.maxLatencyMs = *std::max_element(latencies.begin(), latencies.end());
    return figures;
}

}  // namespace

int main() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterMainWindowClass(instance);
    PrintedMessages messages;
    if (!SetUpApplication(instance, SW_SHOWNORMAL, messages)) return 1;
    mainWindow = Program().mainWindow;
    CountPanelPaints(mainWindow);
    Pump();
    constexpr int kRounds = 500;
    const HWND floorWindow = CreateFloorWindow();
    FloorMicroseconds(50);  // warm up
    RepaintMicroseconds(floorWindow, 50);
    RepaintMicroseconds(mainWindow, 50);
    const unsigned long paintsBefore = panelPaints;
    const double paint = RepaintMicroseconds(mainWindow, kRounds);
    if (panelPaints - paintsBefore != static_cast<unsigned long>(kRounds)) {
        std::fprintf(stderr, "expected one paint per repaint\n");
        return 1;
    }
    const double floorPaint = RepaintMicroseconds(floorWindow, kRounds);
    const double floor = FloorMicroseconds(kRounds);
    DestroyWindow(floorWindow);
    std::printf("one paint of the panel (picker repaint):          %8.1f us\n", paint);
    std::printf("one window-sized transfer of the back surface:    %8.1f us  (x%.1f)\n", floor,
                paint / floor);
    std::printf("paint of only a back surface and that transfer:   %8.1f us  (x%.1f)\n", floorPaint,
                paint / floorPaint);
    const DragFigures drag = Drag(2);
    std::printf("drag across the disc: %d moves in %.2f s, %.0f paints/s\n", drag.moves,
                drag.seconds, drag.paintsPerSecond);
    std::printf("pointer move to swatch showing the colour: mean %.2f ms, max %.2f ms\n",
                drag.meanLatencyMs, drag.maxLatencyMs);
    DestroyWindow(mainWindow);
    return 0;
}
