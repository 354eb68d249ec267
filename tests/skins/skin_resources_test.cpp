// The program's resources as linked into a program, read back through the Windows API, and the
// skins loaded from them with LoadSkin.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/skins/skin_catalog.h"
#include "core/skins/skin_decoder.h"
#include "resources/resource_ids.h"
#include "shell/app/skin_loader.h"
#include "tests/skins/skin_test_support.h"

namespace {

constexpr WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

HMODULE Self() {
    return GetModuleHandleW(nullptr);
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
    reinterpret_cast<std::set<WORD>*>(found)->insert(language);
    return TRUE;
}

std::vector<uint8_t> ResourceBytes(const wchar_t* type, int number) {
    HRSRC found = FindResourceExW(Self(), type, MAKEINTRESOURCEW(number), kJapanese);
    if (found == nullptr) return {};
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(Self(), found)));
    return std::vector<uint8_t>(bytes, bytes + SizeofResource(Self(), found));
}

TEST(ProgramResources, EachIsPresentInJapaneseOnly) {
    struct Row {
        const char* name;
        const wchar_t* type;
        int number;
        DWORD size;  // 0: any
    };
    const Row rows[] = {
        {"string block of 109", RT_STRING, kClassNameStringId / 16 + 1, 0},
        {"accelerators", RT_ACCELERATOR, kAcceleratorTableId, 0},
        {"icon group", RT_GROUP_ICON, kIconGroupId, 0},
        {"icon 1", RT_ICON, 1, 0},
        {"icon 2", RT_ICON, 2, 0},
        {"icon 3", RT_ICON, 3, 0},
        {"icon 4", RT_ICON, 4, 0},
        {"SKIN1", L"SKIN1", kSkin1Id, 270028},
        {"SKIN2", L"SKIN2", kSkin2Id, 8692},
        {"dialog", RT_DIALOG, kHelpDialogId, 0},
        {"version", RT_VERSION, kVersionInfoId, 0},
        {"manifest", RT_MANIFEST, kManifestId, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HRSRC found = FindResourceExW(Self(), row.type, MAKEINTRESOURCEW(row.number), kJapanese);
        ASSERT_NE(found, nullptr);
        if (row.size != 0) {
            EXPECT_EQ(SizeofResource(Self(), found), row.size);
        }
        std::set<WORD> languages;
        EnumResourceLanguagesW(Self(), row.type, MAKEINTRESOURCEW(row.number), CollectLanguage,
                               reinterpret_cast<LONG_PTR>(&languages));
        EXPECT_EQ(languages, std::set<WORD>{kJapanese});
    }
    EXPECT_EQ(kSkin1Resource.storedSize, 270028u);
    EXPECT_EQ(kSkin2Resource.storedSize, 8692u);
}

TEST(ProgramResources, ClassNameString) {
    wchar_t text[100] = {};
    ASSERT_EQ(LoadStringW(Self(), kClassNameStringId, text, 100), 10);
    EXPECT_STREQ(text, L"LEDLUMIVAR");
}

TEST(ProgramResources, AcceleratorsAreAltWithQuestionMarkAndSlash) {
    HACCEL table = LoadAcceleratorsW(Self(), MAKEINTRESOURCEW(kAcceleratorTableId));
    ASSERT_NE(table, nullptr);
    ACCEL entries[4] = {};
    ASSERT_EQ(CopyAcceleratorTableW(table, entries, 4), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(entries[i].fVirt, FALT) << i;  // a character key, not a virtual key
        EXPECT_EQ(entries[i].cmd, kCommandAccelerator) << i;
    }
    EXPECT_EQ(entries[0].key, '?');
    EXPECT_EQ(entries[1].key, '/');
    DestroyAcceleratorTable(table);
}

TEST(ProgramResources, IconGroupHoldsFour32BitSizes) {
    const std::vector<uint8_t> group = ResourceBytes(RT_GROUP_ICON, kIconGroupId);
    ASSERT_EQ(group.size(), 6u + 4 * 14);
    EXPECT_EQ(group[2] | group[3] << 8, 1);  // icons
    ASSERT_EQ(group[4] | group[5] << 8, 4);
    const int sizes[] = {16, 24, 32, 48};
    for (int i = 0; i < 4; ++i) {
        const uint8_t* entry = group.data() + 6 + i * 14;
        EXPECT_EQ(entry[0], sizes[i]);
        EXPECT_EQ(entry[1], sizes[i]);
        EXPECT_EQ(entry[6] | entry[7] << 8, 32);       // bits per pixel
        EXPECT_EQ(entry[12] | entry[13] << 8, i + 1);  // icon resource number
        HICON icon = static_cast<HICON>(
            LoadImageW(Self(), MAKEINTRESOURCEW(kIconGroupId), IMAGE_ICON, sizes[i], sizes[i], 0));
        EXPECT_NE(icon, nullptr) << sizes[i];
        if (icon != nullptr) DestroyIcon(icon);
    }
}

TEST(ProgramResources, HelpDialogIsABorderlessPopupWithoutControls) {
    const std::vector<uint8_t> bytes = ResourceBytes(RT_DIALOG, kHelpDialogId);
    ASSERT_GE(bytes.size(), sizeof(DLGTEMPLATE));
    DLGTEMPLATE dialog;
    memcpy(&dialog, bytes.data(), sizeof(dialog));
    EXPECT_EQ(dialog.style, DWORD(WS_POPUP | WS_SYSMENU));
    EXPECT_EQ(dialog.cdit, 0);
}

TEST(ProgramResources, VersionStringsReadBackInJapaneseAndCodePage932) {
    wchar_t path[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<uint8_t> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));

    struct Value {
        const wchar_t* name;
        const wchar_t* expected;
    };
    const Value values[] = {
        {L"FileDescription", L"VOXA LED Lumivar"},
        {L"InternalName", L"VOXA LED Lumivar"},
        {L"ProductName", L"VOXA LED Lumivar"},
        {L"OriginalFilename", L"LEDLumivar.exe"},
        {L"FileVersion", L"1.0.0.0"},
        {L"ProductVersion", L"1.0.0.0"},
        {L"CompanyName", L"VOXA"},
        {L"LegalCopyright", L"© 2024 VOXA 無断複製・転載を禁じます"},
    };
    for (const Value& value : values) {
        const std::wstring query = std::wstring(L"\\StringFileInfo\\041103a4\\") + value.name;
        wchar_t* text = nullptr;
        UINT length = 0;
        ASSERT_TRUE(
            VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &length))
            << std::string(query.begin(), query.end());
        EXPECT_STREQ(text, value.expected);
    }

    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 932);

    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));
}

TEST(ProgramResources, ManifestAsksForCommonControls6AsInvoker) {
    const std::vector<uint8_t> bytes = ResourceBytes(RT_MANIFEST, kManifestId);
    const std::string manifest(bytes.begin(), bytes.end());
    const char* required[] = {
        R"(name="VOXA GPULumivarLED.exe" version="1.0.0.0")",
        "<description>applcation</description>",
        R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0" processorArchitecture="*" )"
        R"(publicKeyToken="6595b64144ccf1df" language="*")",
        R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)",
    };
    for (const char* text : required) EXPECT_NE(manifest.find(text), std::string::npos) << text;
}

// Both pictures, through the real LoadSkin, hold exactly what the decoder makes of the stored
// resource, whichever way they are painted.
TEST(LoadSkin, PaintsBothPicturesIntoFixedSizeMemoryContexts) {
    TestWindow window;
    ASSERT_NE(window.get(), nullptr);
    for (const SkinDescription& skin : {kSkin1Resource, kSkin2Resource}) {
        const std::vector<uint8_t> stored = ResourceBytes(skin.type, skin.number);
        const auto decoded =
            DecodeSkin(stored.data(), stored.size(), skin.width, skin.height, skin.steps);
        ASSERT_TRUE(decoded.has_value());
        RecordingMessages messages;
        SkinImage image;
        ASSERT_TRUE(LoadSkin(Self(), window.get(), skin.type, skin.number, skin.width, skin.height,
                             skin.steps, messages, image));
        EXPECT_TRUE(messages.shown.empty());
        ASSERT_TRUE(image.Valid());
        const HGDIOBJ bitmap = GetCurrentObject(image.dc(), OBJ_BITMAP);
        BITMAP size = {};
        ASSERT_NE(GetObjectW(bitmap, sizeof(size), &size), 0);
        EXPECT_EQ(size.bmWidth, skin.width);
        EXPECT_EQ(size.bmHeight, skin.height);
        EXPECT_EQ(ReadSkinPixels(image), decoded->colours);

        HDC dc = image.dc();
        image.Release();
        EXPECT_FALSE(image.Valid());
        EXPECT_EQ(GetObjectType(dc), 0u);  // both gone
        EXPECT_EQ(GetObjectType(bitmap), 0u);
    }
}

TEST(LoadSkin, HueDiscIsWhiteAtTheCentreAndSaturatedOnTheRim) {
    TestWindow window;
    RecordingMessages messages;
    SkinImage skin1;
    ASSERT_TRUE(LoadSkin(Self(), window.get(), kSkin1Resource.type, kSkin1Resource.number,
                         kSkin1Resource.width, kSkin1Resource.height, kSkin1Resource.steps,
                         messages, skin1));
    EXPECT_EQ(GetPixel(skin1.dc(), 150, 150), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(skin1.dc(), 297, 150), RGB(255, 0, 0));    // right of the centre: red
    EXPECT_EQ(GetPixel(skin1.dc(), 150, 297), RGB(128, 0, 255));  // below: violet
    EXPECT_EQ(GetPixel(skin1.dc(), 0, 0), RGB(255, 255, 255));    // outside the disc
}

TEST(LoadSkin, ReportsMissingAndUnreadableResources) {
    TestWindow window;
    struct Case {
        const char* name;
        const wchar_t* type;
        int number;
        const wchar_t* message;
    };
    const Case cases[] = {
        {"no such number", L"SKIN1", 999, L"リソースが見つかりません"},
        {"no such type", L"SKIN3", kSkin1Id, L"リソースが見つかりません"},
        {"cut off inside the header", L"BADSKIN", 1, L"リソースを読み込めません"},
    };
    for (const Case& c : cases) {
        RecordingMessages messages;
        SkinImage image;
        const HDC screen = GetDC(nullptr);
        image = SkinImage(screen, 8, 8, WHITENESS);  // stale content must not survive a failure
        ReleaseDC(nullptr, screen);
        EXPECT_FALSE(LoadSkin(Self(), window.get(), c.type, c.number, 2, 2, 100, messages, image))
            << c.name;
        EXPECT_EQ(messages.shown, (std::vector<ShownMessage>{{c.message, kMessageCaption}}))
            << c.name;
        EXPECT_FALSE(image.Valid()) << c.name;
    }
}

TEST(LoadSkin, HeaderPromisingMoreThanItHoldsDrawsThePixelsPresent) {
    TestWindow window;
    RecordingMessages messages;
    SkinImage image;
    ASSERT_TRUE(LoadSkin(Self(), window.get(), L"BADSKIN", 2, 2, 2, 0, messages, image));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(GetPixel(image.dc(), 0, 1), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(image.dc(), 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(image.dc(), 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(image.dc(), 1, 0), RGB(255, 255, 255));
}

}  // namespace
