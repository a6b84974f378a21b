#pragma once

// Work on many items spread over threads, with the results taken in order.
//
// A long check does the same independent work for thousands of files; the
// files' findings must still reach the validator's list and its handlers in
// the order of the files, on the thread that runs the check. RunInOrder runs
// work(i) on worker threads and hands each result to take(i, result) on the
// calling thread, item 0 first.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace vantor::validation {

// Returns how many threads a long check uses: one per processor, at most eight.
inline unsigned CheckThreads() {
    return std::clamp(std::thread::hardware_concurrency(), 1U, 8U);
}

// Runs work(i) for every i in [0, count) and calls take(i, result) for each on the
// calling thread, in order of i. With more than one thread, work runs on that many
// worker threads. Each worker takes `run` neighbouring items at a time, so that
// handing work over costs little beside the work, and the workers stay at most
// `ahead` runs in front of the items being taken, so results waiting to be taken
// stay few. With one thread, or one run, everything runs on the calling thread.
// Each thread that runs work holds what makeScope() returns, made before its first
// item and dropped after its last (a cache of what the threads have read, say).
//
// work must be safe to call from several threads at once. When work throws, the
// results before that item are taken, the workers stop, and the exception
// reaches the caller; so does an exception from take, after the workers stop.
template <typename Result, typename MakeScope, typename Work, typename Take>
void RunInOrder(std::size_t count, unsigned threads, MakeScope&& makeScope, Work&& work,
                Take&& take, std::size_t run = 16, std::size_t ahead = 16) {
    run = std::max<std::size_t>(run, 1);
    ahead = std::max<std::size_t>(ahead, 1);
    const std::size_t runs = (count + run - 1) / run;
    if (threads <= 1 || runs <= 1) {
        [[maybe_unused]] const auto scope = makeScope();
        for (std::size_t i = 0; i < count; ++i) {
            Result result = work(i);
            take(i, result);
        }
        return;
    }

    struct Slot {
        std::vector<Result> results;
        std::exception_ptr error;  // thrown by the item after the results
        bool done = false;
    };
    std::vector<Slot> slots(ahead);
    std::mutex mutex;
    std::condition_variable finished;  // a slot was filled
    std::condition_variable space;     // a slot was emptied, or the work stops
    std::size_t next = 0;              // the next run to hand to a worker
    std::size_t taking = 0;            // the run the calling thread waits for
    bool stop = false;

    const auto runWorker = [&] {
        [[maybe_unused]] const auto scope = makeScope();
        for (;;) {
            std::size_t claimed = 0;
            {
                std::unique_lock lock(mutex);
                space.wait(lock, [&] { return stop || next >= runs || next < taking + ahead; });
                if (stop || next >= runs) {
                    return;
                }
                claimed = next++;
            }
            Slot slot;
            const std::size_t end = std::min(count, (claimed + 1) * run);
            slot.results.reserve(end - claimed * run);
            try {
                for (std::size_t i = claimed * run; i < end; ++i) {
                    slot.results.push_back(work(i));
                }
            } catch (...) {
                slot.error = std::current_exception();
            }
            slot.done = true;
            {
                const std::lock_guard lock(mutex);
                slots[claimed % ahead] = std::move(slot);
            }
            finished.notify_one();
        }
    };

    // Stops and joins the workers however the calling thread leaves.
    struct Workers {
        std::vector<std::thread> threads;
        std::mutex& mutex;
        std::condition_variable& space;
        bool& stop;
        ~Workers() {
            {
                const std::lock_guard lock(mutex);
                stop = true;
            }
            space.notify_all();
            for (std::thread& thread : threads) {
                thread.join();
            }
        }
    } workers{{}, mutex, space, stop};

    const auto started = static_cast<unsigned>(std::min<std::size_t>(threads, runs));
    for (unsigned t = 0; t < started; ++t) {
        workers.threads.emplace_back(runWorker);
    }

    for (std::size_t current = 0; current < runs; ++current) {
        Slot slot;
        {
            std::unique_lock lock(mutex);
            Slot& waiting = slots[current % ahead];
            finished.wait(lock, [&] { return waiting.done; });
            slot = std::move(waiting);
            waiting = Slot{};
            taking = current + 1;
        }
        space.notify_all();
        for (std::size_t k = 0; k < slot.results.size(); ++k) {
            take(current * run + k, slot.results[k]);
        }
        if (slot.error) {
            std::rethrow_exception(slot.error);
        }
    }
}

}  // namespace vantor::validation
