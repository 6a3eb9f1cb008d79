// Inside the platform layer: hooks on the text streams for process end, the headless twin and
// tests that simulate a full disk.
#pragma once

#include <cstdint>

namespace plat {

// From now on, writes to any stream fail once this many more bytes have reached the disk, as on a
// full disk. A negative count turns the fault off (the default).
void SetFileWriteFault(int64_t bytesBeforeFailure);

// Closes every open stream. Atomic streams not yet closed by their owner are abandoned: their
// temporary file is removed and the target left as it was.
void CloseAllStreams();

}  // namespace plat
