#pragma once
// Runs many independent queries (machines asked for their server type) on a
// few worker threads while the calling thread, the one that owns the window,
// takes the answers one by one in the order of the queries and keeps its
// window alive in between. A machine that does not answer holds up its own
// worker only; what the caller sees is what asking one after the other would
// have given, in the same order.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// How long the calling thread waits at most before it runs `idle` again.
inline constexpr std::chrono::milliseconds kIdleInterval{30};
// Workers that start at once. Starting a thread is not free (under Wine it
// costs milliseconds), and queries that answer at once need no more: more
// threads would only contend with the caller for the processor and the heap.
// More start as the caller has to wait for answers.
inline constexpr std::size_t kFirstWorkers = 1;
// The caller, once it has to wait, sleeps until this many more answers are
// there (or kIdleInterval passed): waking a thread per answer would cost more
// than a query that fails at once (a round trip to the wineserver, under Wine).
inline constexpr std::size_t kAnswersPerWake = 64;

// query(i) runs on a worker thread, at most maxThreads of them at once (the
// first kFirstWorkers at once, more as queries keep the caller waiting), for
// every i below count; each must be safe to run beside the others. deliver(i,
// answer) runs on the calling thread for i = 0, 1, ... as soon as answer i is
// there. idle() runs on the calling thread before the first answer and then
// at least every kIdleInterval while it waits. An exception of a query is
// raised by the call when its turn comes; an exception of deliver or idle
// ends the call too. Either way no worker is left running.
template <typename Answer>
void RunQueriesInOrder(std::size_t count, std::size_t maxThreads,
                       const std::function<Answer(std::size_t)>& query,
                       const std::function<void(std::size_t, Answer&)>& deliver,
                       const std::function<void()>& idle) {
    if (count == 0) return;
    using Clock = std::chrono::steady_clock;

    struct Shared {
        std::mutex mutex;
        std::condition_variable ready;
        std::vector<std::optional<Answer>> answers;
        std::vector<std::exception_ptr> failures;
        std::vector<char> done;
        std::size_t waitingFor = 0;
        std::atomic<std::size_t> next{0};
        std::atomic<bool> stop{false};
    } shared;
    shared.answers.resize(count);
    shared.failures.resize(count);
    shared.done.assign(count, 0);

    auto work = [&shared, &query, count] {
        for (;;) {
            const std::size_t i = shared.next.fetch_add(1);
            if (i >= count || shared.stop) return;
            std::optional<Answer> answer;
            std::exception_ptr failure;
            try {
                answer.emplace(query(i));
            } catch (...) {
                failure = std::current_exception();
            }
            std::lock_guard<std::mutex> lock(shared.mutex);
            shared.answers[i] = std::move(answer);
            shared.failures[i] = failure;
            shared.done[i] = 1;
            if (i == shared.waitingFor) shared.ready.notify_one();
        }
    };

    // Stops and joins the workers however the caller's part ends.
    struct Workers {
        Shared& shared;
        std::vector<std::thread> threads;
        ~Workers() {
            shared.stop = true;
            for (auto& t : threads) t.join();
        }
    } workers{shared, {}};
    const std::size_t allThreads = std::max<std::size_t>(1, std::min(maxThreads, count));
    workers.threads.reserve(allThreads);
    auto startWorkers = [&](std::size_t upTo) {
        while (workers.threads.size() < upTo) workers.threads.emplace_back(work);
    };
    startWorkers(std::min(allThreads, kFirstWorkers));

    idle();
    auto lastIdle = Clock::now();
    // Waiting for answers brings more workers in: one answer that keeps the
    // caller kIdleInterval brings all the others, short waits that add up to
    // kIdleInterval double their number.
    Clock::duration waited{0};
    for (std::size_t i = 0; i < count; ++i) {
        std::unique_lock<std::mutex> lock(shared.mutex);
        const auto waitingForThis = Clock::now();
        while (!shared.done[i]) {
            // Wake for the last answer of the next few that is still missing.
            shared.waitingFor = std::min(i + kAnswersPerWake - 1, count - 1);
            while (shared.done[shared.waitingFor]) --shared.waitingFor;
            if (Clock::now() - lastIdle >= kIdleInterval) {
                lock.unlock();
                idle();
                lastIdle = Clock::now();
                lock.lock();
                continue;
            }
            const auto waitingSince = Clock::now();
            shared.ready.wait_until(lock, lastIdle + kIdleInterval);
            waited += Clock::now() - waitingSince;
            const bool longWait = !shared.done[i] && Clock::now() - waitingForThis >= kIdleInterval;
            if (workers.threads.size() < allThreads && (longWait || waited >= kIdleInterval)) {
                const std::size_t more =
                    longWait ? allThreads : std::min(allThreads, 2 * workers.threads.size());
                waited = Clock::duration{0};
                lock.unlock();
                startWorkers(more);
                lock.lock();
            }
        }
        if (shared.failures[i]) std::rethrow_exception(shared.failures[i]);
        Answer answer = std::move(*shared.answers[i]);
        shared.answers[i].reset();
        lock.unlock();
        deliver(i, answer);
        if (Clock::now() - lastIdle >= kIdleInterval) {
            idle();
            lastIdle = Clock::now();
        }
    }
}
