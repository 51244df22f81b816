// PumpOneMessage: keeps the window alive between download chunks.
#include "platform/win32.h"
#include "transfer/downloader.h"

namespace {
// The tick count of the last look that found the queue empty. Another look
// within the same tick is skipped: a download reads thousands of chunks per
// millisecond, and a look costs a round trip to the window system (under
// wine, to its server). A queue that has messages is served one per chunk.
DWORD g_emptyTick = 0;
bool g_sawEmpty = false;
}  // namespace

void PumpOneMessage() {
  const DWORD now = GetTickCount();
  if (g_sawEmpty && now == g_emptyTick) return;
  MSG message;
  if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    g_sawEmpty = false;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  } else {
    g_sawEmpty = true;
    g_emptyTick = now;
  }
}
