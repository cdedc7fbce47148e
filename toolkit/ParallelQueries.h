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

// Starts one worker thread running work. The system may have no thread to
// give (it throws then): the queries go on with the workers there are, and
// with none on the calling thread, one after the other.
using WorkerStart = std::function<std::thread(std::function<void()>)>;
inline std::thread StartThread(std::function<void()> work) { return std::thread(std::move(work)); }

namespace parallel_queries {

// The answers that the workers leave and the calling thread takes, and the
// steps of each side. Waiting for answers brings more workers in: one answer
// that keeps the caller kIdleInterval brings all the others, short waits that
// add up to kIdleInterval double their number.
template <typename Answer>
class OrderedQueries {
public:
    using Clock = std::chrono::steady_clock;

    OrderedQueries(std::size_t count, std::size_t maxThreads,
                   const std::function<Answer(std::size_t)>& query, const WorkerStart& start)
        : query_(query),
          start_(start),
          count_(count),
          allThreads_(std::max<std::size_t>(1, std::min(maxThreads, count))),
          answers_(count),
          failures_(count),
          done_(count, 0) {
        threads_.reserve(allThreads_);
    }
    // Stops and joins the workers however the caller's part ends.
    ~OrderedQueries() {
        stop_ = true;
        for (auto& t : threads_) t.join();
    }
    OrderedQueries(const OrderedQueries&) = delete;
    OrderedQueries& operator=(const OrderedQueries&) = delete;

    void Run(const std::function<void(std::size_t, Answer&)>& deliver,
             const std::function<void()>& idle) {
        StartWorkers(std::min(allThreads_, kFirstWorkers));
        RunIdle(idle);
        for (std::size_t i = 0; i < count_; ++i) {
            Answer answer = threads_.empty() ? query_(i) : Take(i, idle);
            deliver(i, answer);
            if (Clock::now() - lastIdle_ >= kIdleInterval) RunIdle(idle);
        }
    }

private:
    // A worker: the next query not yet taken, until none is left.
    void Work() {
        for (;;) {
            const std::size_t i = next_.fetch_add(1);
            if (i >= count_ || stop_) return;
            std::optional<Answer> answer;
            std::exception_ptr failure;
            try {
                answer.emplace(query_(i));
            } catch (...) {
                failure = std::current_exception();
            }
            std::lock_guard<std::mutex> lock(mutex_);
            answers_[i] = std::move(answer);
            failures_[i] = failure;
            done_[i] = 1;
            if (i == waitingFor_) ready_.notify_one();
        }
    }

    // The room for every thread was reserved up front, so a started thread
    // always finds its place.
    void StartWorkers(std::size_t upTo) {
        try {
            while (threads_.size() < upTo) threads_.push_back(start_([this] { Work(); }));
        } catch (...) {
            allThreads_ = threads_.size();
        }
    }

    void RunIdle(const std::function<void()>& idle) {
        idle();
        lastIdle_ = Clock::now();
    }

    // Answer i once it is there, or the exception of its query; idle runs
    // every kIdleInterval meanwhile.
    Answer Take(std::size_t i, const std::function<void()>& idle) {
        std::unique_lock<std::mutex> lock(mutex_);
        const auto waitingForThis = Clock::now();
        while (!done_[i]) {
            WakeForNextFew(i);
            if (Clock::now() - lastIdle_ >= kIdleInterval) {
                lock.unlock();
                RunIdle(idle);
                lock.lock();
                continue;
            }
            const auto waitingSince = Clock::now();
            ready_.wait_until(lock, lastIdle_ + kIdleInterval);
            waited_ += Clock::now() - waitingSince;
            const bool longWait = !done_[i] && Clock::now() - waitingForThis >= kIdleInterval;
            if (threads_.size() < allThreads_ && (longWait || waited_ >= kIdleInterval)) {
                lock.unlock();
                BringMoreWorkers(longWait);
                lock.lock();
            }
        }
        if (failures_[i]) std::rethrow_exception(failures_[i]);
        Answer answer = std::move(*answers_[i]);
        answers_[i].reset();
        return answer;
    }

    // The caller is woken for the last answer of the next few that is still
    // missing, not for each one.
    void WakeForNextFew(std::size_t i) {
        waitingFor_ = std::min(i + kAnswersPerWake - 1, count_ - 1);
        while (done_[waitingFor_]) --waitingFor_;
    }

    void BringMoreWorkers(bool longWait) {
        waited_ = Clock::duration{0};
        StartWorkers(longWait ? allThreads_ : std::min(allThreads_, 2 * threads_.size()));
    }

    const std::function<Answer(std::size_t)>& query_;
    const WorkerStart& start_;
    const std::size_t count_;
    // Lowered to the workers there are once the system refuses one more.
    std::size_t allThreads_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<std::optional<Answer>> answers_;
    std::vector<std::exception_ptr> failures_;
    std::vector<char> done_;
    std::size_t waitingFor_ = 0;
    std::atomic<std::size_t> next_{0};
    std::atomic<bool> stop_{false};
    std::vector<std::thread> threads_;
    Clock::time_point lastIdle_;
    Clock::duration waited_{0};
};

}  // namespace parallel_queries

// query(i) runs on a worker thread, at most maxThreads of them at once (the
// first kFirstWorkers at once, more as queries keep the caller waiting), for
// every i below count; each must be safe to run beside the others. deliver(i,
// answer) runs on the calling thread for i = 0, 1, ... as soon as answer i is
// there. idle() runs on the calling thread before the first answer and then
// at least every kIdleInterval while it waits. An exception of a query is
// raised by the call when its turn comes; an exception of deliver or idle
// ends the call too. Either way no worker is left running. Workers are
// started by start; when it cannot start even one, every query runs on the
// calling thread in turn.
template <typename Answer>
void RunQueriesInOrder(std::size_t count, std::size_t maxThreads,
                       const std::function<Answer(std::size_t)>& query,
                       const std::function<void(std::size_t, Answer&)>& deliver,
                       const std::function<void()>& idle,
                       const WorkerStart& start = StartThread) {
    if (count == 0) return;
    parallel_queries::OrderedQueries<Answer> queries(count, maxThreads, query, start);
    queries.Run(deliver, idle);
}
