#include "tests/support/wine/window_driving.h"

#include "platform/windows/utf8_text.h"

namespace e2e {

LRESULT SendWithData(HWND window, UINT message, WPARAM wParam, const void* data, size_t size) {
    DWORD_PTR result = 0;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr) return 0;
    void* copy = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    const bool written = copy != nullptr && WriteProcessMemory(process, copy, data, size, nullptr);
    const bool answered =
        written && SendMessageTimeoutW(window, message, wParam, reinterpret_cast<LPARAM>(copy),
                                       SMTO_NORMAL, 15000, &result) != 0;
    // A message not answered in time may still be read later: its copy stays.
    if (copy != nullptr && (answered || !written)) VirtualFreeEx(process, copy, 0, MEM_RELEASE);
    CloseHandle(process);
    return static_cast<LRESULT>(result);
}

LRESULT PanelWindow::Send(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(Control(id), message, wParam, lParam, SMTO_NORMAL, 15000, &result);
    return static_cast<LRESULT>(result);
}

std::wstring PanelWindow::Text(int id) const {
    wchar_t text[256] = {};
    Send(id, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
}

void PanelWindow::Set(const ControlSetting& s) const {
    Select(kModeListId, s.mode);
    if (Enabled(kCycleButtonId)) Click(s.cycle ? kCycleButtonId : kSingleButtonId);
    Select(kIntervalListId, s.interval);
    Select(kBrightnessListId, s.brightness);
    Click(s.ledOn ? kLedOnButtonId : kLedOffButtonId);
    SetSliderPosition(s.slider);
    SetText(kRedEditId, s.red);
    SetText(kGreenEditId, s.green);
    SetText(kBlueEditId, s.blue);
}

std::string PanelWindow::Edits() const {
    return Utf8FromWide(Text(kRedEditId) + L"," + Text(kGreenEditId) + L"," + Text(kBlueEditId));
}

std::vector<std::wstring> PanelWindow::ListTexts(int id) const {
    std::vector<std::wstring> texts(static_cast<size_t>(Send(id, CB_GETCOUNT)));
    for (size_t i = 0; i < texts.size(); ++i) {
        wchar_t text[128] = {};
        Send(id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        texts[i] = text;
    }
    return texts;
}

RECT PanelWindow::ScreenRect(int id) const {
    RECT rect = {};
    GetWindowRect(Control(id), &rect);
    return rect;
}

POINT PanelWindow::ScreenPoint(int x, int y) const {
    POINT point = {x, y};
    ClientToScreen(main_, &point);
    return point;
}

COLORREF PanelWindow::Pixel(int x, int y) const {
    const POINT at = ScreenPoint(x, y);
    const HDC screen = GetDC(nullptr);
    const COLORREF pixel = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return pixel;
}

std::string PanelWindow::Picture() const {
    std::string picture;
    for (int id :
         {kModeListId, kLedOnButtonId, kLedOffButtonId, kCycleButtonId, kSingleButtonId,
          kShadeSliderId, kApplyButtonId, kResetButtonId, kIntervalListId, kBrightnessListId}) {
        picture += Enabled(id) ? '1' : '0';
    }
    picture += ' ';
    for (int id : {kLedOnButtonId, kLedOffButtonId, kCycleButtonId, kSingleButtonId}) {
        picture += Checked(id) ? '1' : '0';
    }
    for (int id : {kGpuListId, kModeListId, kIntervalListId, kBrightnessListId}) {
        picture += (id == kGpuListId ? " " : ",") + std::to_string(Selection(id));
    }
    const std::vector<std::wstring> modes = ListTexts(kModeListId);
    return picture + " " + std::to_string(SliderPosition()) + " " + Edits() + " " +
           Utf8FromWide(modes.size() > 1 ? modes[1] : L"");
}

HWND PanelWindow::Focus() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(main_, nullptr), &info);
    return info.hwndFocus;
}

void PanelWindow::Select(int id, int position) const {
    Send(id, CB_SETCURSEL, position);
    SendMessageW(main_, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Control(id)));
}

}  // namespace e2e
