// PumpOneMessage: keeps the window alive between download chunks.
#include "platform/win32.h"
#include "transfer/downloader.h"

void PumpOneMessage() {
  MSG message;
  if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}
