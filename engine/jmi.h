#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "block_pipeline.h"
#include "job_context.h"
#include "key_stream.h"
#include "target_file.h"

namespace velmora::engine {

// The cipher engine: key schedule, key stream, noise sources, segment codec and the whole-file
// drivers. One instance holds all the engine's state; the window program keeps exactly one for
// its whole run, tests and the command-line front end make their own.
//
// The key schedule, the key stream and the codec are bit-exact: any conforming build decrypts
// what another encrypted. The noise sources only need the right structure, constants and call
// order, because the decoder learns every random choice from the file itself.
class Jmi {
  public:
    using TimerFn = std::function<float()>;
    using NoiseFn = std::function<std::uint8_t()>;

    // `timer` is "the timer" (seconds since local midnight); `stateFolder` is the folder that
    // holds "ZGDcsh.lib". Both default to the system clock and the current directory.
    explicit Jmi(TimerFn timer = {}, std::filesystem::path stateFolder = {});

    // ----- Key schedule and key stream ---------------------------------------------------
    static constexpr std::int32_t kStreamModulus = 900000000;
    static constexpr std::int32_t kSumModulus = 900000000;
    static constexpr std::int32_t kKeyWordCeiling = 10000000;
    static constexpr const char16_t* kSalt = u"tolvadri";

    // Builds the key from a typed password: UTF-16LE bytes of the salt followed by it.
    void SetKeyFromPassword(const std::u16string& password, std::int32_t direction);
    // Builds the key from key-file bytes (the caller passes at most the first 500000). An
    // empty span stands for "no key-file bytes at all": the salt alone is the key material.
    void SetKeyFromBytes(std::span<const std::uint8_t> bytes, std::int32_t direction);
    // Expands a non-empty byte array into `KeyTable` and `KeyLast`.
    void BuildKeySchedule(std::span<const std::uint8_t> bytes);
    // Per-file reset of every generator word, including the warm-up draws.
    void ResetEngine();
    std::uint8_t KeyStreamByte();
    void MixIntoKeyStream(std::int32_t value);  // value >= 0
    bool HasKey() const { return !KeyTable.empty() || sharedKey_ != nullptr; }
    // Makes this engine code with `prepared`'s key and warm-up result, for the workers of one
    // job: the key table is read in place, not copied, so `prepared` must keep its key,
    // unchanged, while this engine codes. The noise sources stay this engine's own.
    void ShareKey(const Jmi& prepared);

    std::vector<std::int32_t> KeyTable;
    std::int32_t KeyLast = -1;
    std::int32_t KeyDirection = 0;

    KeyStream Stream;  // StreamTable, StreamState, StreamIndex, StreamKeyPos, StreamCycle, ...
    std::uint8_t Feedback = 0;
    std::int32_t CipherSum = 0;
    std::int32_t PlainSum = 0;

    // ----- Noise sources -----------------------------------------------------------------
    static constexpr double kChaosArgument = 37.736457478;
    static constexpr double kCoefficientDefault = 2.8273484285;
    static constexpr const char* kChaosFileName = "ZGDcsh.lib";

    double ChaosStep(double x);
    static std::int32_t FracDigits6(double x);
    static std::int32_t FracDigits3(double x);
    // `samples` are the caller's samples 1..u (index 0 of the vector is sample 1).
    void SeedTimeTable(const std::vector<double>& samples);
    void ReseedTimeTable();
    void LoadChaosState();
    void SaveChaosState();
    void InitNoiseGenerator();
    std::uint8_t NoiseByte();
    // Start-up seeding from the timer, `LoadChaosState`, `InitNoiseGenerator`, in that order.
    void EngineStartup();
    std::filesystem::path ChaosStatePath() const;

    std::array<double, 21> ChaosCoeffs{};  // C(1)..C(20); index 0 unused
    double U1 = 0, U2 = 0, U3 = 0, U4 = 0;
    double ChaosOut = 0;
    std::int32_t ChaosTimePos = 0;
    std::int32_t ChaosSlot = 0;
    std::int32_t ChaosPhase = 0;
    std::vector<double> TimeTable;  // indices 1..T; index 0 unused
    std::int32_t T = 0;
    double TimeMix = 0;
    std::array<std::int32_t, 1001> NoiseTable{};
    std::int32_t NoiseState = 0;
    std::int32_t NoiseIndex = 0;
    std::int32_t NoiseCycle = 0;
    std::uint8_t NoiseLastOut = 0;
    std::int32_t NoiseReseedCount = 0;

    // Replaces `NoiseByte` inside the encoder (tests force headers, tails and block shapes).
    // Empty restores the engine's own noise generator.
    void SetNoiseOverride(NoiseFn noise) { noiseOverride_ = std::move(noise); }

    // ----- Block codec -------------------------------------------------------------------
    static constexpr std::int32_t kProgressStep = 300000;
    static constexpr std::int32_t kDecodeMargin = 360;

    // Encodes block[0..n) and returns the `OutLength` encrypted bytes. The span stays valid
    // until the next call of either coder.
    std::span<const std::uint8_t> EncodeBlock(std::span<const std::uint8_t> block,
                                              std::int32_t isLast, std::int32_t started,
                                              JobContext& job);
    // Decodes a chunk; returns the `OutLength` plaintext bytes and sets `Consumed`.
    std::span<const std::uint8_t> DecodeBlock(std::span<const std::uint8_t> chunk,
                                              std::int32_t isLast, std::int32_t started,
                                              JobContext& job);

    std::int32_t FillModulus = 4;
    std::int64_t OutLength = 0;
    std::int64_t Consumed = 0;

    // ----- Whole files -------------------------------------------------------------------
    static constexpr std::int64_t kBlockBase = 5000000;
    static constexpr std::int64_t kDecryptChunk = kBlockBase + kDecodeMargin;
    static constexpr std::int64_t kSmallestLastBlock = kBlockBase / 5;
    static constexpr std::int64_t kLargestSegment = 4 + 30 + 255;

    // Encrypts `source` into a new file placed as `target` says (see `TargetFile`): written
    // under a temporary name, it takes the source's permission bits and gets the first free
    // name `target.Namer` gives once it is complete. Returns that name, or an empty path when
    // a cancel removed the partial target; a cancel that keeps it links whole blocks written
    // so far. Any error removes the partial target and throws `common::Error`.
    std::filesystem::path EncryptFile(const std::filesystem::path& source,
                                      const TargetChoice& target, JobContext& job);
    // Decrypts `source` the same way; a kept partial target holds the plaintext of whole
    // chunks.
    std::filesystem::path DecryptFile(const std::filesystem::path& source,
                                      const TargetChoice& target, JobContext& job);
    // The same with a target name chosen beforehand (`EncTargetName`, `DecTargetName`): a
    // taken name is an error, and a cancel keeps the partial target under that name.
    void EncryptFile(const std::filesystem::path& source, const std::filesystem::path& target,
                     JobContext& job);
    void DecryptFile(const std::filesystem::path& source, const std::filesystem::path& target,
                     JobContext& job);

    // The block walks of the drivers over any byte source: `read` fills a buffer from a
    // 0-based offset, `write` takes the output in order. They expect the per-file start
    // (`ResetEngine`, and for encryption the reseed) done, and return false on a cancel.
    // `blockBase` is 5000000 for files; the fuzzer walks small inputs with a small one (the
    // smallest last block is a fifth of it, a decryption chunk 360 bytes more).
    using ReadFn = std::function<void(std::int64_t offset, std::int64_t count,
                                      std::vector<std::uint8_t>& buffer)>;
    using WriteFn = std::function<void(std::span<const std::uint8_t>)>;
    bool EncryptBlocks(std::int64_t len, const ReadFn& read, const WriteFn& write, JobContext& job,
                       std::int64_t blockBase = kBlockBase);
    bool DecryptChunks(std::int64_t len, const ReadFn& read, const WriteFn& write, JobContext& job,
                       std::int64_t blockBase = kBlockBase);

    double ProgressTotal = 1.0;
    std::int32_t ProgressVisible = 0;

  private:
    template <class Noise>
    std::span<const std::uint8_t> EncodeWith(Noise& noise, std::span<const std::uint8_t> block,
                                             std::int32_t isLast, std::int32_t started,
                                             JobContext& job);
    // `ChaosStep` in three stages, so that the encoder can spread one step over a data run:
    // the counters and the phase's intermediate; the first sine of the result; the second
    // sine, the result and the write-back.
    void ChaosAdvance();
    void ChaosFirstSine();
    double ChaosFinish(double x);
    void MixTimeTable(int rounds);
    std::filesystem::path BeginFile(const std::filesystem::path& source, const TargetChoice& target,
                                    JobContext& job);
    void ReportProgress(double done, JobContext& job);

    double chaosFirstSine_ = 0;  // between `ChaosFirstSine` and `ChaosFinish`

    TimerFn timer_;
    std::filesystem::path stateFolder_;
    NoiseFn noiseOverride_;

    // The key table in use: `KeyTable`, or a prepared engine's (see `ShareKey`).
    const std::int32_t* KeyWords() const {
        return sharedKey_ != nullptr ? sharedKey_->data() : KeyTable.data();
    }
    const std::vector<std::int32_t>* sharedKey_ = nullptr;

    // The warm-up draws of `ResetEngine` depend only on the key, so their result is kept
    // and copied on later resets with the same key.
    KeyStream warmStream_;
    bool warmValid_ = false;

    ByteBuffer out_;                    // coder output, reused from block to block
    BlockPipeline::Buffers ioBuffers_;  // the file drivers' buffers, reused from file to file
};

}  // namespace velmora::engine
