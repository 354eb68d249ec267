#include "panel/portable/panel_texts.h"

std::string DiscoveryFailureText(const DiscoveryResult& result) {
    switch (result.failure) {
        case DiscoveryFailure::kNone:
            return std::string();
        case DiscoveryFailure::kInitialisation:
        case DiscoveryFailure::kNoGpu:
            return "NvAPIの初期化に失敗しました\nerrorcode " +
                   std::to_string(static_cast<int>(result.status));
        case DiscoveryFailure::kNameUnreadable:
            return "GPU名を取得できません";
        case DiscoveryFailure::kNoSupportedBoard:
            return "SKARNE グラフィックスボードのみ LED コントロールが行えます";
    }
    return std::string();
}
