// The program's resources as linked into a program, read back through the Windows API, and the
// skins loaded from them (and from stored pictures that lie) with LoadSkin.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/skins/skin_catalog.h"
#include "core/skins/skin_decoder.h"
#include "resources/resource_ids.h"
#include "shell/app/skin_loader.h"
#include "tests/support/recording_messages.h"

namespace {

constexpr WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
const HMODULE self = GetModuleHandleW(nullptr);

std::string ResourceBytes(const wchar_t* type, int number) {
    HRSRC found = FindResourceExW(self, type, MAKEINTRESOURCEW(number), kJapanese);
    if (found == nullptr) return {};
    return std::string(static_cast<const char*>(LockResource(LoadResource(self, found))),
                       SizeofResource(self, found));
}

TEST(ProgramResources, EachIsThereInJapaneseOnlyAndHoldsWhatTheProgramNeeds) {
    const struct {
        const wchar_t* type;
        int number;
        size_t size;  // 0: any
    } rows[] = {
        {RT_STRING, kClassNameStringId / 16 + 1, 0},
        {RT_ACCELERATOR, kAcceleratorTableId, 0},
        {RT_GROUP_ICON, kIconGroupId, 6 + 4 * 14},
        {RT_ICON, 1, 0},
        {RT_ICON, 2, 0},
        {RT_ICON, 3, 0},
        {RT_ICON, 4, 0},
        {L"SKIN1", kSkin1Id, 270028},
        {L"SKIN2", kSkin2Id, 8692},
        {RT_DIALOG, kHelpDialogId, 0},
        {RT_VERSION, kVersionInfoId, 0},
        {RT_MANIFEST, kManifestId, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "resource " << row.number);
        const std::string bytes = ResourceBytes(row.type, row.number);
        EXPECT_FALSE(bytes.empty());
        EXPECT_TRUE(row.size == 0 || bytes.size() == row.size) << bytes.size();
        std::set<WORD> languages;
        EnumResourceLanguagesW(
            self, row.type, MAKEINTRESOURCEW(row.number),
            [](HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
                reinterpret_cast<std::set<WORD>*>(found)->insert(language);
                return TRUE;
            },
            reinterpret_cast<LONG_PTR>(&languages));
        EXPECT_EQ(languages, std::set<WORD>{kJapanese});
    }

    // Alt with the characters "?" and "/", both giving the accelerator command.
    const HACCEL table = LoadAcceleratorsW(self, MAKEINTRESOURCEW(kAcceleratorTableId));
    ACCEL keys[4] = {};
    ASSERT_EQ(CopyAcceleratorTableW(table, keys, 4), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(keys[i].fVirt, FALT);
        EXPECT_EQ(keys[i].key, "?/"[i]);
        EXPECT_EQ(keys[i].cmd, kCommandAccelerator);
    }
    DestroyAcceleratorTable(table);

    // Four 32-bit icons of 16, 24, 32 and 48 pixels, icon resources 1 to 4.
    const std::string group = ResourceBytes(RT_GROUP_ICON, kIconGroupId);
    ASSERT_EQ(group.size(), 6u + 4 * 14);
    EXPECT_EQ(group.substr(2, 4), std::string("\1\0\4\0", 4));
    for (int i = 0; i < 4; ++i) {
        const int size = "\x10\x18\x20\x30"[i];
        EXPECT_EQ(group.substr(6 + i * 14, 2), std::string(2, char(size)));
        EXPECT_EQ(group.substr(6 + i * 14 + 6, 2), std::string("\x20\0", 2));  // bits per pixel
        EXPECT_EQ(group.substr(6 + i * 14 + 12, 2), std::string({char(i + 1), 0}));
        const HANDLE icon =
            LoadImageW(self, MAKEINTRESOURCEW(kIconGroupId), IMAGE_ICON, size, size, 0);
        EXPECT_NE(icon, nullptr) << size;
        DestroyIcon(static_cast<HICON>(icon));
    }

    // The help popup: a borderless popup without controls.
    DLGTEMPLATE dialog;
    const std::string dialogBytes = ResourceBytes(RT_DIALOG, kHelpDialogId);
    ASSERT_GE(dialogBytes.size(), sizeof dialog);
    memcpy(&dialog, dialogBytes.data(), sizeof dialog);
    EXPECT_EQ(dialog.style, DWORD(WS_POPUP | WS_SYSMENU));
    EXPECT_EQ(dialog.cdit, 0);

    const std::string manifest = ResourceBytes(RT_MANIFEST, kManifestId);
    for (const char* text : {
             R"(name="VOXA GPULumivarLED.exe" version="1.0.0.0")",
             "<description>applcation</description>",
             R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0" )"
             R"(processorArchitecture="*" publicKeyToken="6595b64144ccf1df" language="*")",
             R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)",
         }) {
        EXPECT_NE(manifest.find(text), std::string::npos) << text;
    }
}

TEST(ProgramResources, VersionStringsReadBackInJapaneseAndCodePage932) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::vector<uint8_t> block(GetFileVersionInfoSizeW(path, nullptr));
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, DWORD(block.size()), block.data()));
    const struct {
        const wchar_t* name;
        const wchar_t* expected;
    } values[] = {
        {L"FileDescription", L"VOXA LED Lumivar"},
        {L"InternalName", L"VOXA LED Lumivar"},
        {L"ProductName", L"VOXA LED Lumivar"},
        {L"OriginalFilename", L"LEDLumivar.exe"},
        {L"FileVersion", L"1.0.0.0"},
        {L"ProductVersion", L"1.0.0.0"},
        {L"CompanyName", L"VOXA"},
        {L"LegalCopyright", L"© 2024 VOXA 無断複製・転載を禁じます"},
    };
    void* value = nullptr;
    UINT length = 0;
    for (const auto& v : values) {
        const std::wstring query = std::wstring(L"\\StringFileInfo\\041103a4\\") + v.name;
        ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), &value, &length));
        EXPECT_STREQ(static_cast<const wchar_t*>(value), v.expected);
    }
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(static_cast<const WORD*>(value)[0], 0x0411);
    EXPECT_EQ(static_cast<const WORD*>(value)[1], 932);
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", &value, &length));
    EXPECT_EQ(static_cast<const VS_FIXEDFILEINFO*>(value)->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(static_cast<const VS_FIXEDFILEINFO*>(value)->dwFileType, DWORD(VFT_APP));
}

// Both pictures, through the real LoadSkin, hold exactly what the decoder makes of the stored
// resource, in bitmaps of their fixed size that go when the image is released.
TEST(LoadSkin, PaintsBothPicturesIntoFixedSizeMemoryContexts) {
    for (const SkinDescription& skin : {kSkin1Resource, kSkin2Resource}) {
        const std::string stored = ResourceBytes(skin.type, skin.number);
        const auto decoded = DecodeSkin(reinterpret_cast<const uint8_t*>(stored.data()),
                                        stored.size(), skin.width, skin.height, skin.steps);
        ASSERT_TRUE(decoded.has_value());
        RecordingMessages messages;
        SkinImage image;
        ASSERT_TRUE(LoadSkin(self, nullptr, skin.type, skin.number, skin.width, skin.height,
                             skin.steps, messages, image));
        EXPECT_TRUE(messages.shown.empty());
        const HGDIOBJ bitmap = GetCurrentObject(image.dc(), OBJ_BITMAP);
        BITMAP size = {};
        ASSERT_NE(GetObjectW(bitmap, sizeof(size), &size), 0);
        EXPECT_EQ(size.bmWidth, skin.width);
        EXPECT_EQ(size.bmHeight, skin.height);
        int differing = 0;
        for (int y = 0; y < skin.height; ++y) {
            for (int x = 0; x < skin.width; ++x) {
                differing += GetPixel(image.dc(), x, y) != decoded->At(x, y);
            }
        }
        EXPECT_EQ(differing, 0);
        if (skin.number == kSkin1Id) {
            // The hue disc: white at the centre and outside, red right of it, violet below.
            EXPECT_EQ(GetPixel(image.dc(), 150, 150), RGB(255, 255, 255));
            EXPECT_EQ(GetPixel(image.dc(), 297, 150), RGB(255, 0, 0));
            EXPECT_EQ(GetPixel(image.dc(), 150, 297), RGB(128, 0, 255));
            EXPECT_EQ(GetPixel(image.dc(), 0, 0), RGB(255, 255, 255));
        }
        const HDC dc = image.dc();
        image.Release();
        EXPECT_EQ(GetObjectType(dc), 0u);
        EXPECT_EQ(GetObjectType(bitmap), 0u);
    }
}

TEST(LoadSkin, ReportsMissingAndUnreadableResourcesAndDrawsWhatALyingHeaderHolds) {
    const struct {
        const wchar_t* type;
        int number;
        const wchar_t* message;
    } cases[] = {
        {L"SKIN1", 999, L"リソースが見つかりません"},
        {L"SKIN3", kSkin1Id, L"リソースが見つかりません"},
        {L"BADSKIN", 1, L"リソースを読み込めません"},  // cut off inside the header
    };
    for (const auto& c : cases) {
        RecordingMessages messages;
        const HDC screen = GetDC(nullptr);
        SkinImage image(screen, 8, 8, WHITENESS);  // stale content must not survive a failure
        ReleaseDC(nullptr, screen);
        EXPECT_FALSE(LoadSkin(self, nullptr, c.type, c.number, 2, 2, 100, messages, image));
        EXPECT_EQ(messages.shown, (decltype(messages.shown){{c.message, kMessageCaption}}));
        EXPECT_FALSE(image.Valid());
    }
    // A header promising more than it holds: the pixels present are drawn, the rest stays white.
    RecordingMessages messages;
    SkinImage image;
    ASSERT_TRUE(LoadSkin(self, nullptr, L"BADSKIN", 2, 2, 2, 0, messages, image));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(GetPixel(image.dc(), 0, 1), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(image.dc(), 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(image.dc(), 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(image.dc(), 1, 0), RGB(255, 255, 255));
}

}  // namespace
