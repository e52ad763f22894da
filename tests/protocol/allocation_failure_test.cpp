// Discovery when a device record cannot be allocated. Its own executable:
// it replaces the global operator new so that one allocation of a chosen
// size can be made to fail.
#include <algorithm>
#include <cstdlib>
#include <new>

#include "protocol/device_table.h"
#include "protocol/discovery.h"
#include "test_support.h"

namespace {

std::size_t failSize = 0;
int failCount = 0;

void* Allocate(std::size_t size) {
    if (failCount > 0 && size == failSize) {
        --failCount;
        return nullptr;
    }
    return std::malloc(size == 0 ? 1 : size);
}

// Out of line, so that the compiler, inlining the replaced operators into
// their callers, does not take this free for the release of a pointer from
// operator new: the replaced new and delete pair malloc with free themselves.
[[gnu::noinline]] void Release(void* memory) {
    std::free(memory);
}

}  // namespace

void* operator new(std::size_t size) {
    if (void* memory = Allocate(size)) {
        return memory;
    }
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void operator delete(void* memory) noexcept {
    Release(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    Release(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    Release(memory);
}

namespace {

using WaitResult = NetIo::WaitResult;

class AllocationFailureTest : public ProtocolTest {};

TEST_F(AllocationFailureTest, RecorderWithoutMemoryIsLeftOutAndDiscoveryGoesOn) {
    ScriptedRecorder first(MakeId(1));
    first.AnswerDiscovery({{TLV_NAME, "First"}});
    ScriptedRecorder second(MakeId(2));
    second.AnswerDiscovery({{TLV_NAME, "Second"}});
    second.delay = 30ms;
    net.Attach(first, 0);
    net.Attach(second, 0);

    failSize = sizeof(DeviceRecord);
    failCount = 1;  // the first recorder's record
    DiscoverDevices();
    const bool failed = failCount == 0;
    failCount = 0;

    ASSERT_TRUE(failed) << "the record was not allocated on its own";
    ASSERT_EQ(DeviceTable.size(), 1u);
    EXPECT_EQ(DeviceTable[0].name, "Second");
    // Replies of supported recorders, the dropped one too, do not count: the
    // slot still ends after its 101 empty polls.
    const auto timeouts = std::count_if(net.Waits().begin(), net.Waits().end(), [](const auto& w) {
        return w.timeout == 10ms && w.result == WaitResult::Timeout;
    });
    EXPECT_EQ(timeouts, 101);
}

}  // namespace
