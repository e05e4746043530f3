#include "platform/Instance.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

namespace {
std::string UniqueName(const char* what)
{
    return std::string("QuorbSwapTest") + what + std::to_string(getpid()) + "Mutex";
}

TEST(InstanceTest, OnlyOneHolderPerName)
{
    std::string name = UniqueName("Only");
    Platform::Instance first;
    Platform::Instance second;
    ASSERT_TRUE(first.Acquire(name));
    EXPECT_TRUE(first.IsHeld());
    EXPECT_FALSE(second.Acquire(name));
    EXPECT_FALSE(second.IsHeld());
    first.Release();
    EXPECT_TRUE(second.Acquire(name));
}

TEST(InstanceTest, RaiseRequestReachesTheHolderOnce)
{
    std::string name = UniqueName("Raise");
    Platform::Instance holder;
    ASSERT_TRUE(holder.Acquire(name));
    EXPECT_FALSE(holder.PollRaise());
    ASSERT_TRUE(Platform::Instance::NotifyHolder(name));
    EXPECT_TRUE(holder.PollRaise());
    EXPECT_FALSE(holder.PollRaise());
}

TEST(InstanceTest, NobodyToNotifyWithoutAHolder)
{
    EXPECT_FALSE(Platform::Instance::NotifyHolder(UniqueName("Nobody")));
}

TEST(InstanceTest, NamesTooLongForTheAddressAreRefused)
{
    Platform::Instance instance;
    EXPECT_FALSE(instance.Acquire(std::string(200, 'x')));
    EXPECT_FALSE(instance.Acquire(""));
}
} // namespace
