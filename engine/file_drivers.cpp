// Whole-file encryption and decryption. An encrypted file is exactly the concatenation of
// the encoder's block outputs: no header, no length, no check value.

#include <algorithm>

#include "block_pipeline.h"
#include "error.h"
#include "file_io.h"
#include "jmi.h"
#include "utf16le.h"

namespace velmora::engine {

namespace {

// The target's bytes go through the pipeline's thread while later blocks are coded.
BlockPipeline FileIo(InputFile& in, OutputFile& out, BlockPipeline::Buffers& buffers) {
    return BlockPipeline(
        [&in](std::int64_t offset, std::int64_t count, std::vector<std::uint8_t>& buffer) {
            in.ReadExactly(offset, count, buffer);
        },
        [&out](std::span<const std::uint8_t> bytes) { out.Write(bytes); }, buffers);
}

}  // namespace

void Jmi::BeginFile(const std::filesystem::path& source, const std::filesystem::path& target,
                    JobContext& job) {
    if (!HasKey()) throw common::Error("No key has been prepared.");
    ProgressVisible = job.FycVisible;
    if (ProgressVisible == 1 && job.Aclss == nullptr) {
        throw common::Error("A shown progress window needs a progress object.");
    }
    if (ProgressVisible == 1) {
        std::u16string i = common::Utf8ToUtf16(source.string());
        std::u16string j = common::Utf8ToUtf16(target.string());
        job.Aclss->Cwjm(i, j);
    }
    ProgressTotal = job.Afl == 0 ? 1.0 : static_cast<double>(job.Afl);
}

void Jmi::EncryptFile(const std::filesystem::path& source, const std::filesystem::path& target,
                      JobContext& job) {
    BeginFile(source, target, job);
    ResetEngine();
    ReseedTimeTable();
    ChaosStep(static_cast<double>(Stream.StreamState));

    InputFile in(source);
    const std::int64_t len = in.Size();
    OutputFile out(target);                          // removed again unless it is closed normally
    BlockPipeline io = FileIo(in, out, ioBuffers_);  // ends its thread before `out` may be removed
    {
        std::int64_t done = 0;
        std::int32_t started = 0;
        // An empty file has no segments at all: it becomes an empty target.
        while (len > 0) {
            std::int64_t d = kBlockBase + FracDigits3(ChaosStep(kChaosArgument));
            // The last block never holds less than 1000000 bytes: a smaller rest joins it.
            if (kSmallestLastBlock > len - done - d) d = len - done;
            const std::int64_t end = done + d;
            const std::int32_t isLast = end >= len ? 1 : 0;
            // The next block starts at `end` and holds at most the largest block.
            const std::span<const std::uint8_t> block =
                io.Read(done, d, end, isLast == 1 ? end : std::min(len, end + kLargestBlock));
            const std::span<const std::uint8_t> encoded = EncodeBlock(block, isLast, started, job);
            started = 1;
            if (ProgressVisible == 1) {
                if (job.Aclss->CFhz() == 0) break;  // the block in hand is dropped
                job.ProcessedTotal += static_cast<double>(d);
                ReportProgress(job.ProcessedTotal, job);
            }
            io.Write(out_, encoded.size());
            if (end >= len) break;
            done = end;
        }
        io.Drain();
        out.Close();
    }
}

void Jmi::DecryptFile(const std::filesystem::path& source, const std::filesystem::path& target,
                      JobContext& job) {
    BeginFile(source, target, job);
    ResetEngine();

    InputFile in(source);
    const std::int64_t len = in.Size();
    OutputFile out(target);                          // removed again unless it is closed normally
    BlockPipeline io = FileIo(in, out, ioBuffers_);  // ends its thread before `out` may be removed
    {
        std::int64_t r = 1;  // 1-based read position
        std::int32_t started = 0;
        do {
            std::int64_t size = 0;
            std::int32_t last = 0;
            if (len > kDecryptChunk + r && len - kDecryptChunk - r >= kSmallestLastBlock) {
                size = kDecryptChunk;
            } else {
                size = len - r + 1;
                last = 1;
            }
            // A chunk that is not last is consumed up to 360 bytes before its end at the
            // earliest and one segment later at the latest; the next chunk starts there.
            const std::int64_t nextFrom = r - 1 + size - kDecodeMargin;
            const std::span<const std::uint8_t> chunk = io.Read(
                r - 1, size, nextFrom,
                last == 1 ? nextFrom : std::min(len, nextFrom + kLargestSegment + kLargestChunk));
            const std::span<const std::uint8_t> plain = DecodeBlock(chunk, last, started, job);
            started = 1;
            if (ProgressVisible == 1) {
                if (job.Aclss->CFhz() == 0) break;  // the chunk in hand is dropped
                job.ProcessedTotal += static_cast<double>(Consumed);
                ReportProgress(job.ProcessedTotal, job);
            }
            if (OutLength > 0) io.Write(out_, plain.size());
            r += Consumed;
            // One unparsed byte left at the end is tail: the loop ends before it.
        } while (r < len);
        io.Drain();
        out.Close();
    }
}

}  // namespace velmora::engine
