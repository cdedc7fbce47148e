#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <stdexcept>
#include <system_error>
#include <string>
#include <thread>
#include <vector>

#include "toolkit/ParallelQueries.h"

namespace {

// Lets query i finish only after query i + 1 has: the answers come back in
// the reverse order of the queries.
class ReverseOrder {
public:
    explicit ReverseOrder(std::size_t count) : finished_(count, false) {}
    void Finish(std::size_t i) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (i + 1 < finished_.size()) changed_.wait(lock, [&] { return finished_[i + 1]; });
        finished_[i] = true;
        order.push_back(i);
        changed_.notify_all();
    }
    std::vector<std::size_t> order;

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<bool> finished_;
};

}  // namespace

TEST(ParallelQueries, AnswersComeInQueryOrderOnTheCallingThreadHoweverTheyFinish) {
    constexpr std::size_t kCount = 12;
    ReverseOrder gate(kCount);
    const auto caller = std::this_thread::get_id();
    std::vector<std::size_t> delivered;
    std::vector<std::string> answers;
    int idles = 0;
    RunQueriesInOrder<std::string>(
        kCount, kCount,
        [&](std::size_t i) {
            EXPECT_NE(std::this_thread::get_id(), caller);
            gate.Finish(i);
            return "answer " + std::to_string(i);
        },
        [&](std::size_t i, std::string& answer) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            delivered.push_back(i);
            answers.push_back(answer);
        },
        [&] {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            ++idles;
        });
    ASSERT_EQ(gate.order.size(), kCount);
    EXPECT_EQ(gate.order.front(), kCount - 1);  // the last query finished first
    std::vector<std::size_t> expected;
    for (std::size_t i = 0; i < kCount; ++i) expected.push_back(i);
    EXPECT_EQ(delivered, expected);
    EXPECT_EQ(answers.front(), "answer 0");
    EXPECT_EQ(answers.back(), "answer 11");
    EXPECT_GE(idles, 1);  // before the first answer, at least
}

TEST(ParallelQueries, NeverMoreThreadsThanAllowedAndEveryQueryOnce) {
    std::atomic<int> inside{0}, most{0};
    std::vector<std::atomic<int>> runs(500);
    std::size_t delivered = 0;
    RunQueriesInOrder<int>(
        500, 4,
        [&](std::size_t i) {
            const int now = ++inside;
            for (int seen = most; now > seen && !most.compare_exchange_weak(seen, now);) {
            }
            ++runs[i];
            std::this_thread::yield();
            --inside;
            return static_cast<int>(i) * 2;
        },
        [&](std::size_t i, int& answer) {
            EXPECT_EQ(answer, static_cast<int>(i) * 2);
            ++delivered;
        },
        [] {});
    EXPECT_EQ(delivered, 500u);
    EXPECT_LE(most, 4);
    for (auto& r : runs) EXPECT_EQ(r, 1);
}

// Queries that each keep the caller waiting a little (never a whole idle
// interval at once) still bring the other workers in once the waits add up:
// forty 5 ms queries are not left to one thread.
TEST(ParallelQueries, ShortWaitsThatAddUpStartTheOtherWorkers) {
    std::mutex mutex;
    std::set<std::thread::id> threads;
    std::size_t delivered = 0;
    RunQueriesInOrder<int>(
        40, 8,
        [&](std::size_t) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                threads.insert(std::this_thread::get_id());
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            return 0;
        },
        [&](std::size_t, int&) { ++delivered; }, [] {});
    EXPECT_EQ(delivered, 40u);
    EXPECT_GT(threads.size(), 1u);
}

TEST(ParallelQueries, AFailedQueryIsRaisedAtItsTurnAfterTheEarlierAnswers) {
    std::vector<std::size_t> delivered;
    EXPECT_THROW(RunQueriesInOrder<int>(
                     100, 8,
                     [](std::size_t i) -> int {
                         if (i == 5) throw std::runtime_error("query 5");
                         return 0;
                     },
                     [&](std::size_t i, int&) { delivered.push_back(i); }, [] {}),
                 std::runtime_error);
    EXPECT_EQ(delivered, (std::vector<std::size_t>{0, 1, 2, 3, 4}));
}

TEST(ParallelQueries, AFailingDeliveryEndsTheRunOnceNoQueryRunsAnyMore) {
    // The later queries wait inside until the failing delivery lets them go:
    // the call must not return while any of them still runs.
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    std::atomic<int> inside{0};
    EXPECT_THROW(RunQueriesInOrder<int>(
                     1000, 4,
                     [&](std::size_t i) {
                         ++inside;
                         if (i >= 4) {
                             std::unique_lock<std::mutex> lock(mutex);
                             opened.wait(lock, [&] { return open; });
                         }
                         --inside;
                         return 0;
                     },
                     [&](std::size_t i, int&) {
                         if (i < 3) return;
                         {
                             std::lock_guard<std::mutex> lock(mutex);
                             open = true;
                         }
                         opened.notify_all();
                         throw std::runtime_error("stop");
                     },
                     [] {}),
                 std::runtime_error);
    EXPECT_EQ(inside, 0);
}

TEST(ParallelQueries, NothingToAskRunsNothing) {
    int calls = 0;
    RunQueriesInOrder<int>(
        0, 4, [&](std::size_t) { return ++calls; }, [&](std::size_t, int&) { ++calls; },
        [&] { ++calls; });
    EXPECT_EQ(calls, 0);
}

// The system gives no thread: every query is asked on the calling thread,
// one after the other, and answered in order.
TEST(ParallelQueries, WithoutAThreadTheCallingThreadAsksEveryQueryInTurn) {
    int starts = 0;
    const WorkerStart refuse = [&](std::function<void()>) -> std::thread {
        ++starts;
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    };
    const auto caller = std::this_thread::get_id();
    std::vector<std::size_t> asked, delivered;
    RunQueriesInOrder<std::size_t>(
        20, 8,
        [&](std::size_t i) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            asked.push_back(i);
            return i * 10;
        },
        [&](std::size_t i, std::size_t& answer) {
            EXPECT_EQ(answer, i * 10);
            delivered.push_back(i);
        },
        [] {}, refuse);
    std::vector<std::size_t> expected(20);
    for (std::size_t i = 0; i < 20; ++i) expected[i] = i;
    EXPECT_EQ(asked, expected);
    EXPECT_EQ(delivered, expected);
    EXPECT_EQ(starts, 1);  // a refusal is not asked again
}
