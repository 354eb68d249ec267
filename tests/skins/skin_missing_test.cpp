// A program built without SKIN1: loading it tells the user and fails; SKIN2 still loads.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/skins/skin_catalog.h"
#include "shell/app/skin_loader.h"
#include "tests/skins/skin_test_support.h"

namespace {

TEST(MissingSkin, Skin1ShowsResourceNotFoundAndFails) {
    TestWindow window;
    RecordingMessages messages;
    SkinImage skin1;
    EXPECT_FALSE(LoadSkin(GetModuleHandleW(nullptr), window.get(), kSkin1Resource.type,
                          kSkin1Resource.number, kSkin1Resource.width, kSkin1Resource.height,
                          kSkin1Resource.steps, messages, skin1));
    EXPECT_EQ(messages.shown,
              (std::vector<ShownMessage>{{L"リソースが見つかりません", L"VOXA LED Lumivar"}}));
    EXPECT_FALSE(skin1.Valid());
}

TEST(MissingSkin, Skin2IsStillThere) {
    TestWindow window;
    RecordingMessages messages;
    SkinImage skin2;
    EXPECT_TRUE(LoadSkin(GetModuleHandleW(nullptr), window.get(), kSkin2Resource.type,
                         kSkin2Resource.number, kSkin2Resource.width, kSkin2Resource.height,
                         kSkin2Resource.steps, messages, skin2));
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
