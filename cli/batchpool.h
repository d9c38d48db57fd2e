// Batch rows answered on worker threads and handed back in input order.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "cli/batch.h"

namespace zodiara::cli {

// Rows read together and answered together, the unit of work of a thread.
struct RowBlock {
    // Rows per block, and the bytes of records past which a block is closed earlier.
    static constexpr std::size_t MaxRows = 32;
    static constexpr std::size_t MaxRecordBytes = 1 << 16;

    struct Row {
        std::size_t offset, size;  // of the record in `records`
        long long line;
        bool tooLong;  // only the line was kept
    };
    std::vector<Row> rows;
    std::string records;
    std::uint64_t inputBytes = 0;  // of the input read when the block was closed
    std::string answers;           // a JSON line per row, after the block is answered
    bool anyFailed = false;

    bool full() const { return rows.size() >= MaxRows || records.size() >= MaxRecordBytes; }
    void add(std::string_view record, long long line);
    void addTooLong(long long line);
    void clear();
};

// Answers blocks on `jobs` threads (as many as the system gives), or on the caller's thread with
// one job, so that one job costs no more than the rows themselves. At most a few blocks a thread
// are in flight, which bounds the memory.
class BatchPool {
public:
    BatchPool(unsigned jobs, bool withEphemeris, std::chrono::sys_seconds now);
    ~BatchPool();
    BatchPool(const BatchPool&) = delete;
    BatchPool& operator=(const BatchPool&) = delete;

    bool full() const { return m_inOrder.size() >= m_window; }
    bool empty() const { return m_inOrder.empty(); }
    // Queues a block; the caller takes blocks back until the pool is not full first.
    void submit(std::unique_ptr<RowBlock> block);
    // The oldest block in flight once it is answered: waited for when `wait`, else null while it
    // is not done. Null when none is in flight.
    [[nodiscard]] std::unique_ptr<RowBlock> takeOldest(bool wait);

private:
    struct Slot {
        std::unique_ptr<RowBlock> block;
        bool done = false;
    };
    void work();

    std::size_t m_window;
    bool m_withEphemeris;
    std::chrono::sys_seconds m_now;
    std::unique_ptr<BatchRows> m_inline;  // with one job
    std::mutex m_mutex;
    std::condition_variable m_queued, m_answered;
    std::deque<Slot> m_inOrder;   // main thread only, but for `done`
    std::deque<Slot*> m_waiting;  // not yet taken by a thread
    bool m_stopping = false;
    std::vector<std::jthread> m_threads;
};

// The processors this process may run on, at least 1.
unsigned availableProcessors();

}  // namespace zodiara::cli
