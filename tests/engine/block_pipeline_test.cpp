// The I/O pipeline on its own: read-ahead guesses right and wrong, write order, and errors
// that reach the caller at the right moment.

#include "block_pipeline.h"

#include <gtest/gtest.h>

#include <numeric>
#include <stdexcept>

#include "engine_fixture.h"

namespace velmora::test {
namespace {

using engine::BlockPipeline;

// A source of bytes 0, 1, 2, ... (mod 256) that counts its reads and may fail at an offset.
struct Source {
    std::int64_t size = 100000;
    std::int64_t failFrom = -1;  // a read reaching this offset fails
    int reads = 0;
    void Read(std::int64_t offset, std::int64_t count, Bytes& buffer) {
        ++reads;
        if (failFrom >= 0 && offset + count > failFrom) throw std::runtime_error("bad sector");
        buffer.resize(static_cast<std::size_t>(count));
        for (std::int64_t i = 0; i < count; ++i)
            buffer[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(offset + i);
    }
};

Bytes Expected(std::int64_t offset, std::int64_t count) {
    Bytes bytes(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(offset + i);
    return bytes;
}

BlockPipeline::Buffers buffers;

BlockPipeline Over(Source& source, Bytes& sink) {
    return BlockPipeline([&source](std::int64_t offset, std::int64_t count,
                                   Bytes& buffer) { source.Read(offset, count, buffer); },
                         [&sink](std::span<const std::uint8_t> bytes) {
                             sink.insert(sink.end(), bytes.begin(), bytes.end());
                         },
                         buffers);
}

TEST(BlockPipeline, ReadsFromTheReadAheadOrAtOnceWhenTheGuessMissed) {
    struct Step {
        std::int64_t offset, count, nextFrom, nextTo;
        int readsAfter;  // reads made so far, read-aheads included
    };
    // A request inside the previous read-ahead costs no read of its own; one outside it (a
    // chunk that starts before the guess, or runs past its end) is read at once.
    const Step steps[] = {
        {0, 1000, 1000, 3000, 2},     // first request read at once, then [1000, 3000) ahead
        {1000, 1500, 2500, 5000, 3},  // inside: only the next read-ahead
        {2400, 1000, 3400, 3400, 4},  // starts before the guess: read at once, no read-ahead
        {3400, 100, 3500, 9000, 6},   // nothing ahead to use: read at once, then ahead
        {3500, 6000, 9500, 9500, 7},  // runs past the read-ahead's end: read at once
    };
    Source source;
    Bytes sink;
    BlockPipeline io = Over(source, sink);
    for (const Step& s : steps) {
        SCOPED_TRACE(s.offset);
        const auto bytes = io.Read(s.offset, s.count, s.nextFrom, s.nextTo);
        EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), Expected(s.offset, s.count));
        io.Drain();
        EXPECT_EQ(source.reads, s.readsAfter);
    }
}

TEST(BlockPipeline, WritesArriveInOrderAndBuffersComeBack) {
    Source source;
    Bytes sink;
    BlockPipeline io = Over(source, sink);
    io.Read(0, 10, 10, 20);  // a read-ahead puts the writes on the second thread
    Bytes expected;
    for (int block = 0; block < 50; ++block) {
        engine::ByteBuffer buffer(300, static_cast<std::uint8_t>(block));
        // Only the first `count` bytes count; the rest of the buffer is not written.
        const std::size_t count = 100 + static_cast<std::size_t>(block);
        expected.insert(expected.end(), buffer.begin(), buffer.begin() + count);
        io.Write(buffer, count);
    }
    io.Drain();
    EXPECT_EQ(sink, expected);
}

TEST(BlockPipeline, AFailedReadAheadIsReportedOnlyWhenItsBytesAreNeeded) {
    Source source;
    source.failFrom = 5000;
    Bytes sink;
    BlockPipeline io = Over(source, sink);
    io.Read(0, 1000, 1000, 6000);  // this read-ahead fails
    // The next request lies below the bad offset: read again, without an error.
    const auto bytes = io.Read(1000, 2000, 3000, 3000);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), Expected(1000, 2000));
    EXPECT_THROW(io.Read(3000, 2500, 5500, 5500), std::runtime_error);
}

TEST(BlockPipeline, AFailedWriteIsReportedByTheNextWriteOrTheDrain) {
    for (bool byDrain : {false, true}) {
        SCOPED_TRACE(byDrain ? "drain" : "next write");
        Source source;
        int writes = 0;
        BlockPipeline io([&source](std::int64_t offset, std::int64_t count,
                                   Bytes& buffer) { source.Read(offset, count, buffer); },
                         [&writes](std::span<const std::uint8_t>) {
                             if (++writes == 3) throw std::runtime_error("disk full");
                         },
                         buffers);
        io.Read(0, 10, 10, 20);
        engine::ByteBuffer buffer(10);
        io.Write(buffer, 10);
        io.Write(buffer, 10);
        io.Write(buffer, 10);  // fails on the thread
        if (byDrain) {
            EXPECT_THROW(io.Drain(), std::runtime_error);
        } else {
            EXPECT_THROW(io.Write(buffer, 10), std::runtime_error);
        }
    }
}

}  // namespace
}  // namespace velmora::test
