#include "pictures/Loader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>

using namespace std::chrono_literals;

// A client that leaves and a loader that ends wait for nothing: work to come
// never runs; the work in hand goes on, one piece at a time, and its result is
// dropped once it returns, never rung; then the thread ends by itself, inside
// what the owner put around it. (Results delivered: every picture shown.)
TEST(LoaderTest, WaitsForNothing)
{
    using Loader = pictures::Loader<std::shared_ptr<int>>;
    std::promise<void> begun[3], opened[3];
    const auto left = std::make_shared<std::promise<void>>();  // the thread's own, as long as it runs
    std::weak_ptr<int> made[3];  // the results, watched
    const auto work = [&](int i) -> Loader::Work {
        const auto result = std::make_shared<int>(i);
        made[i] = result;
        return [&, i, result] { return begun[i].set_value(), opened[i].get_future().wait(), result; };
    };
    std::future<void> ended = left->get_future();
    std::atomic<int> rung{0};
    auto loader = std::make_unique<Loader>([left](const std::function<void()>& loop) { loop(), left->set_value(); });
    const int a = loader->Join([&] { ++rung; }), b = loader->Join([&] { ++rung; });
    loader->Ask(a, work(0));
    loader->Ask(a, work(1));
    loader->Ask(b, work(2));
    begun[0].get_future().wait();
    loader->Leave(a);
    EXPECT_TRUE(made[1].expired() && !loader->Busy(a) && loader->Busy(b));
    opened[0].set_value();
    begun[2].get_future().wait();
    EXPECT_TRUE(made[0].expired() && !loader->Take(b));
    loader.reset();
    EXPECT_EQ(ended.wait_for(100ms), std::future_status::timeout);
    opened[2].set_value();
    EXPECT_EQ(ended.wait_for(10s), std::future_status::ready);
    EXPECT_TRUE(made[2].expired() && rung == 0);
}
