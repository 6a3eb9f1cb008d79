// Inside the platform layer: hooks on the text streams for process end, the headless twin and
// tests that simulate a full disk.
#pragma once

#include <cstdint>
#include <string>

namespace plat {

// From now on, writes to any stream fail once this many more bytes have reached the disk, as on a
// full disk. A negative count turns the fault off (the default).
void SetFileWriteFault(int64_t bytesBeforeFailure);

// Closes every open stream. Atomic streams not yet closed by their owner are abandoned: their
// temporary file is removed and the target left as it was.
void CloseAllStreams();

// Saving raw bytes over a file as the atomic streams do, for writers with their own encoder (the
// PNG writer): the locked temporary file beside `target`, opened for writing and empty...
int OpenTemporary(const std::string& target, std::string& tempName);
// ...and its end: on commit synced and renamed over `target`, otherwise removed. Closes `fd`.
// True only when the new bytes are in place.
bool FinishTemporary(int fd, const std::string& tempName, const std::string& target, bool commit);

}  // namespace plat
