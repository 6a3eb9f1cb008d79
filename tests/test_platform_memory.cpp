// The memory figures of the statistics overlay: real bytes in use, and nothing to collect.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/platform.h"

TEST(PlatformMemory, InUseFollowsAllocationsOfEverySize) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer replaces the allocator whose figures MemoryInUse reads";
#endif
    // Small blocks come from the heap arena, big ones are mapped separately; both must count.
    for (size_t size : {size_t(64), size_t(4096), size_t(32) << 20}) {
        const int64_t before = MemoryInUse();
        const size_t count = size < 4096 ? 20000 : (size_t(8) << 20) / size + 1;
        std::vector<std::unique_ptr<char[]>> blocks;
        for (size_t i = 0; i < count; ++i) blocks.emplace_back(new char[size]);
        const int64_t held = static_cast<int64_t>(count * size);
        EXPECT_GE(MemoryInUse() - before, held) << "blocks of " << size;
        blocks.clear();
        EXPECT_LT(MemoryInUse() - before, held / 2) << "blocks of " << size << " freed";
    }
    DisableAutoCollect();
    EXPECT_EQ(CollectGarbage(), 0);
}
