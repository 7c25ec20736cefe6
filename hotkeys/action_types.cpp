#include "hotkeys/action_types.h"

namespace {
const char* const kNames[kActionTypeCount] = {
    "アプリを実行",
    "URLを開く",
    "ファイルを開く",
    "メッセージ送信",
    "メッセージ送信(Thread)",
    "ボスが来た！",
    "音量UP",
    "音量DOWN",
    "音量ミュート",
    "ウィンドウ位置記憶",
    "ウィンドウ位置復帰",
    "ウィンドウ半透明",
    "システムパラメータセット",
    "スクリーンセーバ系ON/OFF",
    "アイコン位置の記憶",
    "アイコン位置の復帰",
    "前面アプリの音量を上げる",
    "前面アプリの音量を下げる",
    "前面アプリの消音",
};
}  // namespace

const char* ActionTypeName(int32_t actionType) {
  if (actionType < 1 || actionType > kActionTypeCount) return "";
  return kNames[actionType - 1];
}

bool TakesText(int32_t actionType) {
  return actionType == static_cast<int32_t>(ActionType::RunProgram) ||
         actionType == static_cast<int32_t>(ActionType::OpenUrl);
}
