#include "panel/windows/help/help_popup.h"

#include <array>
#include <string>

#include "core/rules/picker_rules.h"
#include "panel/portable/help_overlay.h"
#include "platform/windows/utf8_text.h"
#include "resources/resource_ids.h"
#include "panel/windows/gdi/gdi_objects.h"
#include "panel/windows/state/program_state.h"

namespace {

constexpr COLORREF kFrameColour = RGB(kFrameGrey, kFrameGrey, kFrameGrey);
constexpr const wchar_t* kJapaneseFace = L"ＭＳ Ｐゴシック";

ScreenPlacement OverlayPlacement() {
    RECT outer = {};
    GetWindowRect(Program().mainWindow, &outer);
    return HelpOverlayPlacement({outer.left, outer.top, outer.right, outer.bottom});
}

void PlaceOverlay(HWND overlay) {
    const ScreenPlacement at = OverlayPlacement();
    SetWindowPos(overlay, nullptr, at.left, at.top, at.width, at.height,
                 SWP_NOZORDER | SWP_NOOWNERZORDER);
    // Looked up at run time: systems without layered windows show the overlay opaque.
    const HMODULE user32 = LoadLibraryW(L"user32.dll");
    if (!user32) return;
    const FARPROC found = GetProcAddress(user32, "SetLayeredWindowAttributes");
    MakeOverlayTranslucent(overlay, reinterpret_cast<SetLayeredWindowAttributesFunction>(
                                        reinterpret_cast<void (*)()>(found)));
    FreeLibrary(user32);
}

template <size_t N>
void DrawTexts(HDC dc, const std::array<OverlayText, N>& texts) {
    for (const OverlayText& text : texts) {
        const std::wstring wide = WideFromUtf8(text.text);
        TextOutW(dc, text.x, text.y, wide.c_str(), static_cast<int>(wide.size()));
    }
}

// The surface's default system font draws Japanese only where the system's code page is
// Japanese; elsewhere it would draw empty boxes. There a Japanese font of the same height and
// weight stands in for it.
HFONT SystemFontStandIn(HDC dc) {
    if (GetTextCharset(dc) == SHIFTJIS_CHARSET) return nullptr;
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    return CreateFontW(metrics.tmHeight, 0, 0, 0, metrics.tmWeight, FALSE, FALSE, FALSE,
                       SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, kJapaneseFace);
}

void DrawSystemFontTexts(HDC dc) {
    OwnedFont standIn(SystemFontStandIn(dc));
    ScopedSelection selected(dc, standIn.get());
    DrawTexts(dc, kOverlaySystemFontTexts);
}

void DrawLabelFontTexts(HDC dc) {
    OwnedFont font(CreateFontW(kOverlayLabelFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                               SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kJapaneseFace));
    ScopedSelection selected(dc, font.get());
    DrawTexts(dc, kOverlayLabelFontTexts);
}

void DrawFrames(HDC dc) {
    OwnedPen pen(CreatePen(PS_INSIDEFRAME, kFrameWidth, kFrameColour));
    ScopedSelection hollow(dc, GetStockObject(HOLLOW_BRUSH));
    ScopedSelection selectedPen(dc, pen.get());
    for (const RoundedFrame& frame : kOverlayFrames) {
        RoundRect(dc, frame.box.left, frame.box.top, frame.box.right, frame.box.bottom,
                  frame.cornerWidth, frame.cornerHeight);
    }
}

void PaintOverlay(HWND overlay) {
    const PaintSession paint(overlay);
    const ScreenPlacement size = OverlayPlacement();
    const MemorySurface surface(paint.dc(), size.width, size.height, BLACKNESS);
    const HDC dc = surface.dc();
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, RGB(255, 255, 255));
    DrawSystemFontTexts(dc);
    DrawLabelFontTexts(dc);
    DrawFrames(dc);
    BitBlt(paint.dc(), 0, 0, size.width, size.height, dc, 0, 0, SRCCOPY);
}

INT_PTR CALLBACK HelpPopupProcedure(HWND overlay, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            PlaceOverlay(overlay);
            return TRUE;
        case WM_PAINT:
            PaintOverlay(overlay);
            return FALSE;
        case WM_LBUTTONDOWN:
        case WM_CLOSE:
            EndDialog(overlay, 0);
            return TRUE;
        case WM_COMMAND:
            // Esc arrives as IDCANCEL. Enter arrives as IDOK and, like any other key, does
            // nothing.
            if (LOWORD(wParam) != IDCANCEL) return FALSE;
            EndDialog(overlay, 0);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void MakeOverlayTranslucent(HWND overlay, SetLayeredWindowAttributesFunction setAttributes) {
    if (!setAttributes) return;
    SetWindowLongW(overlay, GWL_EXSTYLE, GetWindowLongW(overlay, GWL_EXSTYLE) | WS_EX_LAYERED);
    setAttributes(overlay, 0, static_cast<BYTE>(kOverlayAlpha), LWA_ALPHA);
}

void ShowHelpPopup(HWND window) {
    DialogBoxParamW(Program().appInstance, MAKEINTRESOURCEW(kHelpDialogId), window,
                    HelpPopupProcedure, 0);
}
