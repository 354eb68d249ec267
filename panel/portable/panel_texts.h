// What both panels say, in UTF-8: the window's title, the menu items of the keeper, what start-up
// tells of the boards it found, and the message of a send the boards' lock kept out. Each panel
// turns them into its toolkit's text.
#pragma once

#include <string>

#include "core/gpus/gpu_discovery.h"

constexpr const char* kPanelTitle = "VOXA LED Lumivar";
constexpr const char* kLogonItemText = "ログオン時に照明を復元する";
constexpr const char* kAwayItemText = "離席中は照明を消す";

// Followed by the lock's name or the reason it could not be had.
constexpr const char* kBoardsBusyText =
    "ほかのプログラムがボードに送信中のため、何も送信しませんでした。\n"
    "しばらくしてから、もう一度お試しください。\n\n";

constexpr const char* kTooManyGpusText =
    "ビデオカードが9枚以上存在します\n認識できるビデオカードは8枚までです\n8枚までを認識します";

// What start-up says when discovery stopped it; empty when it found a board to work with.
std::string DiscoveryFailureText(const DiscoveryResult& result);
