#include "core/panel/panel_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct EditCase {
    const char* name;
    std::wstring text;
    int value;
    const wchar_t* replacement;  // null: the text stays as typed
};

const EditCase kEditCases[] = {
    {"plain value", L"128", 128, nullptr},
    {"zero", L"0", 0, nullptr},
    {"upper bound", L"255", 255, nullptr},
    {"above the range clamps and corrects", L"300", 255, L"255"},
    {"999 clamps", L"999", 255, L"255"},
    {"empty reads 0 and stays empty", L"", 0, nullptr},
    {"only three characters are read", L"1000", 100, nullptr},
    {"2555 reads as 255", L"2555", 255, nullptr},
    {"leading zeros", L"007", 7, nullptr},
    {"full-width digits fold", L"１２８", 128, nullptr},
    {"full-width above range", L"３００", 255, L"255"},
    {"mixed widths", L"1２3", 123, nullptr},
    {"ideographic space is a blank",
     L"\x3000"
     L"12",
     12, nullptr},
    {"leading blanks skipped", L"  7", 7, nullptr},
    {"tab is a blank", L"\t42", 42, nullptr},
    {"blank after the third character is not read", L"   5", 0, nullptr},
    {"negative clamps to 0 with text 0", L"-5", 0, L"0"},
    {"full-width minus", L"－12", 0, L"0"},
    {"minus zero is zero, text kept", L"-0", 0, nullptr},
    {"plus sign", L"+12", 12, nullptr},
    {"full-width plus", L"＋99", 99, nullptr},
    {"stops at the first non-digit", L"12a", 12, nullptr},
    {"letters give 0", L"abc", 0, nullptr},
    {"full-width letters fold and give 0", L"ＡＢＣ", 0, nullptr},
    {"sign alone", L"-", 0, nullptr},
    {"sign then blank", L"- 5", 0, nullptr},
    {"digit after a letter is not read", L"a12", 0, nullptr},
    {"character above the full-width block is kept",
     L"\xFF5E"
     L"1",
     0, nullptr},
    {"character below the full-width block is kept",
     L"\xFF00"
     L"1",
     0, nullptr},
    {"terminator inside the text ends it",
     std::wstring(L"1\0"
                  L"99",
                  4),
     1, nullptr},
};

TEST(EditRule, ReadsClampsAndCorrects) {
    for (const EditCase& c : kEditCases) {
        SCOPED_TRACE(c.name);
        const EditReading reading = ReadColourText(c.text);
        EXPECT_EQ(reading.value, c.value);
        if (c.replacement == nullptr) {
            EXPECT_EQ(reading.replacement, nullptr);
        } else {
            ASSERT_NE(reading.replacement, nullptr);
            EXPECT_EQ(std::wstring(reading.replacement), c.replacement);
        }
    }
}

// Every value the edit can be read as lies in 0-255, whatever three characters it holds.
TEST(EditRule, EveryThreeCharacterTextReadsInRange) {
    const wchar_t alphabet[] = {L'0',   L'5',   L'9',   L'-',   L'+',   L' ',   L'a',
                                0xFF10, 0xFF19, 0xFF0D, 0x3000, 0xFF5D, 0xFF01, 0x00FF};
    for (wchar_t a : alphabet) {
        for (wchar_t b : alphabet) {
            for (wchar_t c : alphabet) {
                const wchar_t text[] = {a, b, c};
                const EditReading reading = ReadColourText(std::wstring_view(text, 3));
                ASSERT_GE(reading.value, 0);
                ASSERT_LE(reading.value, 255);
            }
        }
    }
}

}  // namespace
