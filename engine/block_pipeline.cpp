#include "block_pipeline.h"

#include <system_error>
#include <utility>

namespace velmora::engine {

BlockPipeline::BlockPipeline(ReadFn read, WriteFn write, Buffers& buffers)
    : read_(std::move(read)), write_(std::move(write)), lent_(buffers) {
    current_.bytes.swap(lent_.current);
    ahead_.bytes.swap(lent_.ahead);
    written_.swap(lent_.written);
}

BlockPipeline::~BlockPipeline() {
    if (thread_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    current_.bytes.swap(lent_.current);
    ahead_.bytes.swap(lent_.ahead);
    written_.swap(lent_.written);
}

std::future<void> BlockPipeline::Post(std::function<void()> job) {
    std::packaged_task<void()> task(std::move(job));
    std::future<void> done = task.get_future();
    if (!thread_.joinable()) {
        try {
            thread_ = std::thread([this] { Run(); });
        } catch (const std::system_error&) {
            // No thread to be had: the work runs here, as it would without the pipeline.
            task();
            return done;
        }
    }
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(task));
    }
    wake_.notify_one();
    return done;
}

void BlockPipeline::Run() {
    for (;;) {
        std::packaged_task<void()> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
            // Work handed over before the stop still runs: a write must reach the target
            // before the caller decides what becomes of it.
            if (jobs_.empty()) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

std::span<const std::uint8_t> BlockPipeline::Read(std::int64_t offset, std::int64_t count,
                                                  std::int64_t nextFrom, std::int64_t nextTo) {
    if (reading_.valid()) {
        bool read = false;
        try {
            reading_.get();
            read = true;
        } catch (...) {
            // The bytes are read again below, where an error that concerns them is thrown.
        }
        if (read) std::swap(current_, ahead_);
    }
    if (!current_.Holds(offset, count)) {
        current_.offset = -1;
        read_(offset, count, current_.bytes);
        current_.offset = offset;
    }
    const std::span<const std::uint8_t> bytes =
        std::span<const std::uint8_t>(current_.bytes)
            .subspan(static_cast<std::size_t>(offset - current_.offset),
                     static_cast<std::size_t>(count));
    if (nextTo > nextFrom) {
        reading_ = Post([this, nextFrom, nextTo] {
            ahead_.offset = -1;
            read_(nextFrom, nextTo - nextFrom, ahead_.bytes);
            ahead_.offset = nextFrom;
        });
    }
    return bytes;
}

void BlockPipeline::Write(ByteBuffer& buffer, std::size_t count) {
    if (!thread_.joinable()) {
        write_(std::span<const std::uint8_t>(buffer.data(), count));
        return;
    }
    if (writing_.valid()) writing_.get();
    std::swap(written_, buffer);
    writing_ =
        Post([this, count] { write_(std::span<const std::uint8_t>(written_.data(), count)); });
}

void BlockPipeline::Drain() {
    // A read-ahead keeps its result (or error) for a later `Read`.
    if (reading_.valid()) reading_.wait();
    if (writing_.valid()) writing_.get();
}

}  // namespace velmora::engine
