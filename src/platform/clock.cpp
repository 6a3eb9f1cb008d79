// Time through the current host (a real clock, or the headless twin's virtual one), and the
// memory figures: we free at once, so there is never anything to collect.
#include <malloc.h>

#include "platform/host.h"
#include "platform/platform.h"

int Milliseconds() { return plat::CurrentHost().Milliseconds(); }
void Sleep(int milliseconds) { plat::CurrentHost().Sleep(milliseconds); }
std::string CurrentDateText() { return plat::CurrentHost().DateText(); }
std::string CurrentTimeText() { return plat::CurrentHost().TimeText(); }

void DisableAutoCollect() {}
int CollectGarbage() { return 0; }

int64_t MemoryInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<int64_t>(info.uordblks + info.hblkhd);
}
