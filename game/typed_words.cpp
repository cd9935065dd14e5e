#include "game/typed_words.h"

#include "game/app_services.h"
#include "game/game_app.h"
#include "game/net_doc.h"
#include "game/network_game.h"
#include "world/script/event_manager.h"

namespace {

constexpr int kMaxTyped = 16;

bool EndsWith(const CString& buffer, const char* word, int stopBeforeEnd) {
  const int length = static_cast<int>(CString(word).GetLength());
  const int at = buffer.GetLength() - stopBeforeEnd - length;
  // Exact: the words arrive as virtual-key codes, upper case.
  return at >= 0 && buffer.Mid(at, length) == word;
}

}  // namespace

void HandleTypedChar(int ch) {
  if (g_pNetDoc && IsNetworkGame()) return;
  // 16 is the Shift key itself; codes outside a byte (and 0) are no characters.
  if (ch > 255 || ch <= 0 || ch == 16) return;
  g_TypedWordBuffer += static_cast<char>(ch);
  if (g_TypedWordBuffer.GetLength() > kMaxTyped) g_TypedWordBuffer = g_TypedWordBuffer.Right(kMaxTyped);

  if (EndsWith(g_TypedWordBuffer, "ZEPHYRWAY", 2)) {
    const int mission = LeadingDecimal(g_TypedWordBuffer.Right(2));
    // Only the 24 missions that exist; any other number does nothing.
    if (mission >= 1 && mission <= 24) {
      g_CurrentMissionArchive.Format("M%d.CAN", mission);
      if (CGameApp* app = GameApp()) app->RequestNewGame(true);
      return;
    }
  }
  if (EndsWith(g_TypedWordBuffer, "PLOVEX", 0)) CGameApp::FatalError(nullptr, -1);
  if (EndsWith(g_TypedWordBuffer, "KWAB", 0)) {
    if (g_pEventManager) g_pEventManager->RaiseEvent("end_game", nullptr);
    return;
  }
  if (g_pNetDoc) g_pNetDoc->CheckCheatWords();
}
