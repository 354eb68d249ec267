// The panel's main window read and driven from outside, as a user (or the window system) would:
// by its control IDs and the controls' standard messages.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "core/rules/control_ids.h"

namespace e2e {

// A message whose lParam points at a structure, as the system sends WM_POWERBROADCAST: `data`
// copied into the window's process and the message sent with the copy's address there. The
// window's answer; 0 when the copy or the send failed. (The system copies a device event's
// structure itself: WM_DEVICECHANGE goes with the structure's own address.)
LRESULT SendWithData(HWND window, UINT message, WPARAM wParam, const void* data, size_t size);

// What a user sets before pressing Apply: the mode, interval and brightness positions, Cycle
// (clicked where the mode lets the user choose), LED ON, the slider and the edits' texts.
struct ControlSetting {
    int mode, cycle, interval, brightness, ledOn, slider;
    const wchar_t *red, *green, *blue;
};

// The main window's controls, read and driven from outside.
class PanelWindow {
  public:
    explicit PanelWindow(HWND main) : main_(main) {}
    HWND Main() const { return main_; }
    HWND Control(int id) const { return GetDlgItem(main_, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    bool Checked(int id) const { return Send(id, BM_GETCHECK) == BST_CHECKED; }
    int Selection(int id) const { return static_cast<int>(Send(id, CB_GETCURSEL)); }
    int SliderPosition() const { return static_cast<int>(Send(kShadeSliderId, TBM_GETPOS)); }
    std::wstring Text(int id) const;
    // The R, G and B edits' texts: "255,255,255".
    std::string Edits() const;
    std::vector<std::wstring> ListTexts(int id) const;
    RECT ScreenRect(int id) const;
    // A client point on screen, and the colour shown there now.
    POINT ScreenPoint(int x, int y) const;
    COLORREF Pixel(int x, int y) const;
    // What the user sees of the controls, in one line: the enabled states of the ten board
    // controls (mode list, LED ON, LED OFF, Cycle, Single, shade slider, Apply, Reset, interval
    // list, brightness list) as 1 and 0; the checks of the four radio buttons (LED ON, LED OFF,
    // Cycle, Single); the positions of the GPU, mode, interval and brightness lists; the slider;
    // the edits; and the mode list's second entry, which tells whose list it is:
    // "1110011111 1001 0,0,1,0 50 255,255,255 FLASH".
    std::string Picture() const;
    // The control that has the keyboard focus in the program's thread.
    HWND Focus() const;

    // A click on a button (the button notifies the window as for a mouse click).
    void Click(int id) const { Send(id, BM_CLICK); }
    // The same without waiting for the program to answer it.
    void PostClick(int id) const { PostMessageW(Control(id), BM_CLICK, 0, 0); }
    // A list selection as the user makes it: the list changes, then the window is told.
    void Select(int id, int position) const;
    void SetSliderPosition(int position) const { Send(kShadeSliderId, TBM_SETPOS, TRUE, position); }
    // Text put into an edit as a paste would.
    void SetText(int id, const std::wstring& text) const {
        Send(id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void SelectAllText(int id) const { Send(id, EM_SETSEL, 0, -1); }
    void Close() const { PostMessageW(main_, WM_CLOSE, 0, 0); }
    // A system-menu item chosen; false when the window did not answer within 30 s.
    bool SystemCommand(WPARAM command) const {
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(main_, WM_SYSCOMMAND, command, 0, SMTO_NORMAL, 30000, &result);
    }
    void Set(const ControlSetting& setting) const;

  private:
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    HWND main_;
};

}  // namespace e2e
