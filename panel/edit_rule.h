// How the R, G and B edits are read: the first three characters, full-width forms folded to
// ASCII, converted leniently as the C runtime does, and clamped to 0-255 with the text put right.
#pragma once

#include <string_view>

// The edit holds a buffer of four characters with the terminator: three are read.
constexpr int kEditCharactersRead = 3;

struct EditReading {
    int value = 0;
    // The text to write back into the edit, or null to leave what the user typed.
    const wchar_t* replacement = nullptr;
};

EditReading ReadColourText(std::wstring_view text);
