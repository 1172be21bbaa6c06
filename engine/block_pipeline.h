#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <new>
#include <span>
#include <thread>
#include <utility>
#include <vector>

namespace velmora::engine {

// Leaves new elements uninitialised, so that a buffer resized for the largest possible output
// occupies memory only where bytes are written.
template <class T>
struct UninitialisedAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = UninitialisedAllocator<U>;
    };
    UninitialisedAllocator() = default;
    template <class U>
    UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}
    template <class U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

// A coder's output buffer.
using ByteBuffer = std::vector<std::uint8_t, UninitialisedAllocator<std::uint8_t>>;

// Overlaps a file operation's I/O with its coding: while the caller codes one block, a second
// thread reads the next block and writes the previous one. The key-stream chain stays on the
// caller's thread; only reads and writes move, in the order the caller asks for them.
//
// A file of one block gains nothing from a second thread, so the thread starts with the first
// read-ahead; until then reads and writes run on the caller's thread, and many small files
// cost no thread at all.
class BlockPipeline {
  public:
    // Reads `count` bytes at the 0-based `offset` into the buffer (resized to `count`).
    using ReadFn = std::function<void(std::int64_t, std::int64_t, std::vector<std::uint8_t>&)>;
    // Appends bytes to the target.
    using WriteFn = std::function<void(std::span<const std::uint8_t>)>;

    // Buffers a caller keeps from file to file, so that a job of many files does not
    // allocate and clear them again for each.
    struct Buffers {
        std::vector<std::uint8_t> current, ahead;
        ByteBuffer written;
    };

    // `buffers` lends the pipeline its buffers until it ends.
    BlockPipeline(ReadFn read, WriteFn write, Buffers& buffers);
    // Lets every read and write handed over finish (a write in flight must not outlive the
    // target), then ends the thread. Errors of unfinished work are dropped: the caller is
    // already on its way out.
    ~BlockPipeline();
    BlockPipeline(const BlockPipeline&) = delete;
    BlockPipeline& operator=(const BlockPipeline&) = delete;

    // The source bytes [offset, offset + count), valid until the next call. The next block is
    // expected inside [nextFrom, nextTo): those bytes are read while the caller codes this one
    // (nothing when the range is empty). A request outside what was read ahead is read at
    // once, so a wrong guess costs time, never bytes. Throws the read's error.
    std::span<const std::uint8_t> Read(std::int64_t offset, std::int64_t count,
                                       std::int64_t nextFrom, std::int64_t nextTo);
    // Appends the first `count` bytes of `buffer` to the target, after everything handed over
    // before. The pipeline keeps the buffer until they are written and hands back an earlier
    // one (its size and contents are unspecified). Throws the error of an earlier write.
    void Write(ByteBuffer& buffer, std::size_t count);
    // Waits until every read and write handed over is done; throws the first write error.
    void Drain();

  private:
    struct Window {
        std::vector<std::uint8_t> bytes;
        std::int64_t offset = -1;
        bool Holds(std::int64_t from, std::int64_t count) const {
            return offset >= 0 && from >= offset &&
                   from + count <= offset + static_cast<std::int64_t>(bytes.size());
        }
    };

    std::future<void> Post(std::function<void()> job);
    void Run();

    ReadFn read_;
    WriteFn write_;
    Buffers& lent_;
    Window current_;  // what the caller codes; touched by the caller only
    Window ahead_;    // touched by the thread while `reading_` is pending
    std::future<void> reading_;
    ByteBuffer written_;  // touched by the thread while `writing_` is pending
    std::future<void> writing_;

    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::packaged_task<void()>> jobs_;
    bool stop_ = false;
};

}  // namespace velmora::engine
