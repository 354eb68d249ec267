#include "panel/edit_rule.h"

namespace {

// A full-width form (U+FF01-U+FF5D) becomes its ASCII character; the ideographic space a space.
wchar_t FoldFullWidth(wchar_t c) {
    if (c >= 0xFF01 && c <= 0xFF5D) return static_cast<wchar_t>(c - 0xFEE0);
    if (c == 0x3000) return L' ';
    return c;
}

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

// Leading blanks, an optional sign, then digits up to the first non-digit; nothing gives 0.
// Three characters cannot overflow an int.
int LenientDecimal(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    int value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
    }
    return negative ? -value : value;
}

}  // namespace

EditReading ReadColourText(std::wstring_view text) {
    wchar_t folded[kEditCharactersRead] = {};
    size_t length = 0;
    for (; length < text.size() && length < kEditCharactersRead && text[length] != L'\0';
         ++length) {
        folded[length] = FoldFullWidth(text[length]);
    }
    const int value = LenientDecimal(std::wstring_view(folded, length));
    if (value > 255) return {255, L"255"};
    if (value < 0) return {0, L"0"};
    return {value, nullptr};
}
