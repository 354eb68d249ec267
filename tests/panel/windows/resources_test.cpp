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
#include "panel/windows/app/skin_loader.h"
#include "tests/support/in_process/recording_messages.h"

namespace {

constexpr WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
const HMODULE self = GetModuleHandleW(nullptr);

std::string ResourceBytes(const wchar_t* type, int number) {
    const HRSRC found = FindResourceExW(self, type, MAKEINTRESOURCEW(number), kJapanese);
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(self, found)));
    return found ? std::string(bytes, SizeofResource(self, found)) : std::string();
}

TEST(ProgramResources, EachIsThereInJapaneseOnlyAndHoldsWhatTheProgramNeeds) {
    // clang-format off
    const struct {
        const wchar_t* type;
        int number;
        size_t size;  // 0: any
    } resources[] = {
        {RT_STRING, kClassNameStringId / 16 + 1, 0}, {RT_ACCELERATOR, kAcceleratorTableId, 0},
        {RT_GROUP_ICON, kIconGroupId, 6 + 4 * 14}, {RT_ICON, 1, 0}, {RT_ICON, 2, 0},
        {RT_ICON, 3, 0}, {RT_ICON, 4, 0}, {L"SKIN1", kSkin1Id, 270028}, {L"SKIN2", kSkin2Id, 8692},
        {RT_DIALOG, kHelpDialogId, 0}, {RT_VERSION, kVersionInfoId, 0}, {RT_MANIFEST, kManifestId, 0},
    };
    // clang-format on
    for (const auto& r : resources) {
        const size_t size = ResourceBytes(r.type, r.number).size();
        EXPECT_TRUE(size > 0 && (r.size == 0 || size == r.size)) << r.number << ": " << size;
        std::set<WORD> languages;
        EnumResourceLanguagesW(
            self, r.type, MAKEINTRESOURCEW(r.number),
            [](HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
                reinterpret_cast<std::set<WORD>*>(found)->insert(language);
                return TRUE;
            },
            reinterpret_cast<LONG_PTR>(&languages));
        EXPECT_EQ(languages, std::set<WORD>{kJapanese}) << r.number;
    }
    // Alt with the characters "?" and "/", both giving the accelerator command.
    ACCEL keys[3] = {};
    ASSERT_EQ(CopyAcceleratorTableW(LoadAcceleratorsW(self, MAKEINTRESOURCEW(kAcceleratorTableId)),
                                    keys, 3),
              2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(std::make_tuple(keys[i].fVirt, keys[i].key, keys[i].cmd),
                  std::make_tuple(BYTE(FALT), WORD("?/"[i]), WORD(kCommandAccelerator)));
    }
    // The version block's strings, in Japanese and code page 932.
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD unused = 0;
    std::vector<uint8_t> block(GetFileVersionInfoSizeW(path, &unused));
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, DWORD(block.size()), block.data()));
    std::wstring strings;
    for (const wchar_t* name :
         {L"FileDescription", L"InternalName", L"ProductName", L"OriginalFilename"}) {
        wchar_t* found = nullptr;
        UINT length = 0;
        const std::wstring key = L"\\StringFileInfo\\041103a4\\" + std::wstring(name);
        VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&found), &length);
        strings += (found ? found : L"") + std::wstring(L"|");
    }
    EXPECT_EQ(strings, L"VOXA LED Lumivar|VOXA LED Lumivar|VOXA LED Lumivar|LEDLumivar.exe|");
}

// Both pictures, through the real LoadSkin, hold exactly what the decoder makes of the stored
// resource, in bitmaps of their fixed size.
TEST(LoadSkin, PaintsBothPicturesIntoFixedSizeMemoryContexts) {
    for (const SkinDescription& skin : {kSkin1Resource, kSkin2Resource}) {
        const std::string stored = ResourceBytes(skin.type, skin.number);
        const auto decoded = DecodeSkin(reinterpret_cast<const uint8_t*>(stored.data()),
                                        stored.size(), skin.width, skin.height, skin.steps);
        RecordingMessages messages;
        SkinImage image;
        ASSERT_TRUE(decoded && LoadSkin(self, nullptr, skin.type, skin.number, skin.width,
                                        skin.height, skin.steps, messages, image));
        EXPECT_TRUE(messages.shown.empty());
        BITMAP size = {};
        GetObjectW(GetCurrentObject(image.dc(), OBJ_BITMAP), sizeof(size), &size);
        EXPECT_EQ(size.bmWidth, skin.width);
        EXPECT_EQ(size.bmHeight, skin.height);
        int differing = 0;
        for (int i = 0; i < skin.width * skin.height; ++i) {
            differing += GetPixel(image.dc(), i % skin.width, i / skin.width) !=
                         decoded->At(i % skin.width, i / skin.width);
        }
        EXPECT_EQ(differing, 0);
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
    // A header promising more than it holds: the two pixels there are drawn, the rest is white.
    RecordingMessages messages;
    SkinImage image;
    ASSERT_TRUE(LoadSkin(self, nullptr, L"BADSKIN", 2, 2, 2, 0, messages, image));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(std::vector<COLORREF>({GetPixel(image.dc(), 0, 1), GetPixel(image.dc(), 1, 1),
                                     GetPixel(image.dc(), 0, 0), GetPixel(image.dc(), 1, 0)}),
              std::vector<COLORREF>(
                  {RGB(0, 0, 255), RGB(255, 0, 0), RGB(255, 255, 255), RGB(255, 255, 255)}));
}

}  // namespace
