#include "cli/batchpool.h"

#include <sched.h>

#include <algorithm>
#include <system_error>

#include "cli/csvrecords.h"
#include "cli/json.h"

namespace zodiara::cli {

namespace {

// Enough blocks per thread that a thread finds the next one queued while the answers of the
// oldest are written.
inline constexpr std::size_t BlocksPerThread = 4;

void answer(BatchRows& rows, RowBlock& block)
{
    for (const RowBlock::Row& row : block.rows) {
        if (row.tooLong) {
            block.anyFailed = true;
            appendErrorJson(block.answers, row.line,
                            "the row is longer than " + std::to_string(MaxCsvRecordBytes) + " bytes");
        } else if (!rows.append(block.answers, std::string_view(block.records).substr(row.offset, row.size),
                                row.line)) {
            block.anyFailed = true;
        }
        block.answers += '\n';
    }
}

}  // namespace

void RowBlock::add(std::string_view record, long long line)
{
    rows.push_back({records.size(), record.size(), line, false});
    records += record;
}

void RowBlock::addTooLong(long long line) { rows.push_back({records.size(), 0, line, true}); }

void RowBlock::clear()
{
    rows.clear();
    records.clear();
    answers.clear();
    inputBytes = 0;
    anyFailed = false;
}

BatchPool::BatchPool(unsigned jobs, bool withEphemeris, std::chrono::sys_seconds now)
    : m_window(1), m_withEphemeris(withEphemeris), m_now(now)
{
    if (jobs > 1) {
        m_threads.reserve(jobs);
        try {
            for (unsigned i = 0; i < jobs; ++i)
                m_threads.emplace_back([this] { work(); });
        } catch (const std::system_error&) {
            // Out of threads (a limit on processes, say): the ones started do the work.
        }
    }
    if (m_threads.empty())
        m_inline = std::make_unique<BatchRows>(withEphemeris, now);
    else
        m_window = BlocksPerThread * m_threads.size();
}

BatchPool::~BatchPool()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_queued.notify_all();
    // The threads are joined before the blocks they may still hold go.
    m_threads.clear();
}

void BatchPool::submit(std::unique_ptr<RowBlock> block)
{
    if (m_inline) {
        answer(*m_inline, *block);
        m_inOrder.push_back({std::move(block), true});
        return;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_inOrder.push_back({std::move(block), false});
        m_waiting.push_back(&m_inOrder.back());
    }
    m_queued.notify_one();
}

std::unique_ptr<RowBlock> BatchPool::takeOldest(bool wait)
{
    std::unique_lock lock(m_mutex, std::defer_lock);
    if (!m_inline)
        lock.lock();
    if (m_inOrder.empty())
        return nullptr;
    if (!m_inOrder.front().done) {
        if (!wait)
            return nullptr;
        m_answered.wait(lock, [this] { return m_inOrder.front().done; });
    }
    std::unique_ptr<RowBlock> block = std::move(m_inOrder.front().block);
    m_inOrder.pop_front();
    return block;
}

void BatchPool::work()
{
    BatchRows rows(m_withEphemeris, m_now);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_queued.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
        if (m_stopping)
            return;
        Slot* slot = m_waiting.front();
        m_waiting.pop_front();
        lock.unlock();
        answer(rows, *slot->block);
        lock.lock();
        slot->done = true;
        // The reader waits for the oldest block alone.
        if (slot == &m_inOrder.front())
            m_answered.notify_one();
    }
}

unsigned availableProcessors()
{
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return unsigned(CPU_COUNT(&set));
    return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace zodiara::cli
