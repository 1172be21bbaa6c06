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

// A complete target, or a cancelled one the caller keeps, gets its final name; a cancelled
// one the caller does not keep is removed with `out`.
std::filesystem::path Finish(TargetFile& out, const TargetChoice& target, bool cancelled) {
    if (cancelled && target.Cancel == OnCancel::RemovePartial) return {};
    return out.Publish(target.Namer);
}

// A name chosen beforehand: tried as it stands, never replaced, never renumbered.
TargetChoice ExactTarget(const std::filesystem::path& target) {
    std::error_code ec;
    if (std::filesystem::symlink_status(target, ec).type() !=
        std::filesystem::file_type::not_found) {
        // Known before a single block is coded; `Publish` would find it taken only at the end.
        throw common::Error("Cannot create " + target.string() + ": " +
                            common::SystemReason(EEXIST) + ".");
    }
    return {[target](const std::set<std::string>&) { return target; }, OnCancel::KeepPartial};
}

}  // namespace

std::filesystem::path Jmi::BeginFile(const std::filesystem::path& source,
                                     const TargetChoice& target, JobContext& job) {
    if (!HasKey()) throw common::Error("No key has been prepared.");
    if (!target.Namer) throw common::Error("No target has been named.");
    const std::filesystem::path shown = target.Namer({});
    ProgressVisible = job.FycVisible;
    if (ProgressVisible == 1 && job.Aclss == nullptr) {
        throw common::Error("A shown progress window needs a progress object.");
    }
    if (ProgressVisible == 1) {
        std::u16string i = common::Utf8ToUtf16(source.string());
        std::u16string j = common::Utf8ToUtf16(shown.string());
        job.Aclss->Cwjm(i, j);
    }
    ProgressTotal = job.Afl == 0 ? 1.0 : static_cast<double>(job.Afl);
    return shown;
}

void Jmi::EncryptFile(const std::filesystem::path& source, const std::filesystem::path& target,
                      JobContext& job) {
    EncryptFile(source, ExactTarget(target), job);
}

void Jmi::DecryptFile(const std::filesystem::path& source, const std::filesystem::path& target,
                      JobContext& job) {
    DecryptFile(source, ExactTarget(target), job);
}

bool Jmi::EncryptBlocks(std::int64_t len, const ReadFn& read, const WriteFn& write, JobContext& job,
                        std::int64_t blockBase) {
    const std::int64_t smallestLast = blockBase / 5;
    // A block of the largest size that leaves less than the smallest last block joins the rest.
    const std::int64_t largest = blockBase + 999 + smallestLast;
    // Reads ahead and writes behind on a second thread; ended before the target is decided on.
    BlockPipeline io(read, write, ioBuffers_);
    std::int64_t done = 0;
    std::int32_t started = 0;
    // An empty file has no segments at all: it becomes an empty target.
    while (len > 0) {
        std::int64_t d = blockBase + FracDigits3(ChaosStep(kChaosArgument));
        // The last block never holds less than a fifth of the base: a smaller rest joins it.
        if (smallestLast > len - done - d) d = len - done;
        const std::int64_t end = done + d;
        const std::int32_t isLast = end >= len ? 1 : 0;
        // The next block starts at `end` and holds at most the largest block.
        const std::span<const std::uint8_t> block =
            io.Read(done, d, end, isLast == 1 ? end : std::min(len, end + largest));
        const std::span<const std::uint8_t> encoded = EncodeBlock(block, isLast, started, job);
        started = 1;
        if (ProgressVisible == 1) {
            if (job.Aclss->CFhz() == 0) {  // the block in hand is dropped
                io.Drain();
                return false;
            }
            job.ProcessedTotal += static_cast<double>(d);
            ReportProgress(job.ProcessedTotal, job);
        }
        io.Write(out_, encoded.size());
        if (end >= len) break;
        done = end;
    }
    io.Drain();
    return true;
}

bool Jmi::DecryptChunks(std::int64_t len, const ReadFn& read, const WriteFn& write, JobContext& job,
                        std::int64_t blockBase) {
    const std::int64_t chunk = blockBase + kDecodeMargin;
    const std::int64_t smallestLast = blockBase / 5;
    // Reads ahead and writes behind on a second thread; ended before the target is decided on.
    BlockPipeline io(read, write, ioBuffers_);
    std::int64_t r = 1;  // 1-based read position
    std::int32_t started = 0;
    do {
        std::int64_t size = 0;
        std::int32_t last = 0;
        if (len > chunk + r && len - chunk - r >= smallestLast) {
            size = chunk;
        } else {
            size = len - r + 1;
            last = 1;
        }
        // A chunk that is not last is consumed up to 360 bytes before its end at the earliest
        // and one segment later at the latest; the next chunk starts there and holds at most
        // a chunk and the smallest last block.
        const std::int64_t nextFrom = r - 1 + size - kDecodeMargin;
        const std::span<const std::uint8_t> bytes = io.Read(
            r - 1, size, nextFrom,
            last == 1 ? nextFrom
                      : std::min(len, nextFrom + kLargestSegment + chunk + smallestLast + 1));
        const std::span<const std::uint8_t> plain = DecodeBlock(bytes, last, started, job);
        started = 1;
        if (ProgressVisible == 1) {
            if (job.Aclss->CFhz() == 0) {  // the chunk in hand is dropped
                io.Drain();
                return false;
            }
            job.ProcessedTotal += static_cast<double>(Consumed);
            ReportProgress(job.ProcessedTotal, job);
        }
        if (OutLength > 0) io.Write(out_, plain.size());
        r += Consumed;
        // One unparsed byte left at the end is tail: the loop ends before it.
    } while (r < len);
    io.Drain();
    return true;
}

std::filesystem::path Jmi::EncryptFile(const std::filesystem::path& source,
                                       const TargetChoice& target, JobContext& job) {
    const std::filesystem::path shown = BeginFile(source, target, job);
    ResetEngine();
    ReseedTimeTable();
    ChaosStep(static_cast<double>(Stream.StreamState));

    InputFile in(source);
    TargetFile out(shown, in.Mode());  // removed again unless it is published
    const bool finished = EncryptBlocks(
        in.Size(),
        [&in](std::int64_t offset, std::int64_t count, std::vector<std::uint8_t>& buffer) {
            in.ReadExactly(offset, count, buffer);
        },
        [&out](std::span<const std::uint8_t> bytes) { out.Write(bytes); }, job);
    return Finish(out, target, !finished);
}

std::filesystem::path Jmi::DecryptFile(const std::filesystem::path& source,
                                       const TargetChoice& target, JobContext& job) {
    const std::filesystem::path shown = BeginFile(source, target, job);
    ResetEngine();

    InputFile in(source);
    TargetFile out(shown, in.Mode());  // removed again unless it is published
    const bool finished = DecryptChunks(
        in.Size(),
        [&in](std::int64_t offset, std::int64_t count, std::vector<std::uint8_t>& buffer) {
            in.ReadExactly(offset, count, buffer);
        },
        [&out](std::span<const std::uint8_t> bytes) { out.Write(bytes); }, job);
    return Finish(out, target, !finished);
}

}  // namespace velmora::engine
