// The block codec. An encrypted stream is a run of segments:
//   header (4 bytes: declared run length, fill-modulus seed, filler length, key-stream mix),
//   1..30 filler bytes, 1..255 data bytes,
// every byte XORed with the key stream, optionally followed by a tail of 0..34 random bytes.
// The decoder mirrors every key-stream draw and every mix of the encoder, so it never needs
// the noise generator.

#include <algorithm>
#include <cmath>
#include <limits>

#include "jmi.h"
#include "noise_cursor.h"

namespace velmora::engine {

namespace {

constexpr std::size_t kLargestTail = 34;

inline void AddToSum(std::int32_t& sum, std::uint8_t value) {
    sum += value;
    if (sum > Jmi::kSumModulus) sum -= Jmi::kSumModulus;
}

// Adds the total of a data run (at most 255 bytes) to a running sum. Byte by byte the sum is
// reduced as soon as it passes 9e8; a run adds less than 9e8, so it passes at most once and a
// single reduction at the end gives the same value.
inline void AddRunTotal(std::int32_t& sum, std::int32_t total) {
    sum += total;
    if (sum > Jmi::kSumModulus) sum -= Jmi::kSumModulus;
}

}  // namespace

void Jmi::ReportProgress(double done, JobContext& job) {
    double percent = std::nearbyint(done * 100.0 / ProgressTotal);
    // A job total that is too small (0 counts as 1) gives huge percentages; the window clamps
    // them to 100 anyway, so they are only kept within 32 bits here.
    percent = std::clamp(percent, static_cast<double>(std::numeric_limits<std::int32_t>::min()),
                         static_cast<double>(std::numeric_limits<std::int32_t>::max()));
    auto value = static_cast<std::int32_t>(percent);
    job.Aclss->CpgbarV(value);
}

namespace {

// A test's scripted noise in place of the generator. The script may read the engine (its own
// generator, say), so the engine's `Feedback` is brought up to date before every draw.
class OverrideNoise {
  public:
    static constexpr bool kStagesChaos = false;
    OverrideNoise(Jmi& jmi, const Jmi::NoiseFn& noise) : jmi_(jmi), noise_(noise) {}
    template <class BeforeReseed>
    std::uint8_t Next(std::uint8_t feedback, BeforeReseed&& beforeReseed) {
        beforeReseed();
        jmi_.Feedback = feedback;
        return noise_();
    }
    void Save() {}

  private:
    Jmi& jmi_;
    const Jmi::NoiseFn& noise_;
};

}  // namespace

std::span<const std::uint8_t> Jmi::EncodeBlock(std::span<const std::uint8_t> block,
                                               std::int32_t isLast, std::int32_t started,
                                               JobContext& job) {
    if (noiseOverride_) {
        OverrideNoise noise(*this, noiseOverride_);
        return EncodeWith(noise, block, isLast, started, job);
    }
    NoiseCursor noise(*this);
    return EncodeWith(noise, block, isLast, started, job);
}

template <class Noise>
std::span<const std::uint8_t> Jmi::EncodeWith(Noise& noise, std::span<const std::uint8_t> block,
                                              std::int32_t isLast, std::int32_t started,
                                              JobContext& job) {
    OutLength = 0;
    // Every segment carries at least one data byte, so an empty block has no encoding; it
    // must not read a first byte that is not there.
    if (KeyDirection != 0 || block.empty()) return {};

    const auto n = static_cast<std::int64_t>(block.size());
    // A first guess at the output size; segments that carry little data need more, so the
    // buffer also grows whenever the largest segment plus a tail might not fit.
    const auto guess = static_cast<std::size_t>(
        std::max(std::nearbyint(1.5 * static_cast<double>(n - 1)), 10000.0));
    if (out_.size() < guess) out_.resize(guess);
    std::uint8_t* out = out_.data();
    std::size_t o = 0;

    // Feedback and running sums live in locals for the whole block: the output stores are
    // byte stores, which may alias the members.
    KeyStreamCursor ks(Stream, KeyWords(), KeyLast);
    std::uint8_t fb = Feedback;
    std::int32_t cs = CipherSum;
    std::int32_t ps = PlainSum;

    // The chaos step that ends every segment matters only to the next noise reseed and the
    // next chaos step, and only its last stage needs the segment's final state: the phase's
    // intermediate and the first sine of the result depend on the chaos generator alone.
    // Taken whole at the segment's end, its chain of sines would hold up the next header.
    // Instead each data run starts by finishing the previous segment's step and preparing
    // its own, work the processor does alongside the run's key-stream chain. A reseed runs a
    // finish still pending first. The scripted noise of tests takes every step whole at the
    // end of its segment: the plain order, which the staging must reproduce.
    constexpr bool kStaged = Noise::kStagesChaos;
    bool finishPending = false;
    double chaosArgument = 0;
    auto runPendingChaos = [&] {
        if (finishPending) {
            finishPending = false;
            ChaosFinish(chaosArgument);
        }
    };

    auto emit = [&](std::uint8_t plain) {
        const std::uint8_t e = plain ^ ks.Next(fb);
        fb = e;
        out[o++] = e;
        return e;
    };
    auto emitCounted = [&](std::uint8_t plain) { AddToSum(cs, emit(plain)); };
    auto draw = [&] { return noise.Next(fb, runPendingChaos); };
    auto finish = [&]() -> std::span<const std::uint8_t> {
        runPendingChaos();
        ks.Save();
        noise.Save();
        Feedback = fb;
        CipherSum = cs;
        PlainSum = ps;
        OutLength = static_cast<std::int64_t>(o);
        return {out, o};
    };
    // Codes the data bytes of the current run: the hot loop. Both sums are added up as the
    // bytes pass, beside the key-stream chain. Summed in a pass afterwards, the cipher bytes
    // would be read back by wide loads straight after their byte stores, which cannot forward
    // to such loads and make them wait until the stores reach the cache; the pass's remainder
    // loop also ends at a different point every run.
    auto codeRun = [&](const std::uint8_t* in, std::uint8_t* dst, std::int32_t count) {
        std::int32_t cipherTotal = 0;
        std::int32_t plainTotal = 0;
        for (std::int32_t i = 0; i < count; ++i) {
            const std::uint8_t p = in[i];
            const std::uint8_t e = p ^ ks.Next(fb);
            fb = e;
            dst[i] = e;
            cipherTotal += e;
            plainTotal += p;
        }
        AddRunTotal(cs, cipherTotal);
        AddRunTotal(ps, plainTotal);
    };

    std::int64_t pos = 0;
    std::int32_t run = 0;
    std::int64_t counter = 0;
    bool final = false;
    bool first = started != 0;

    do {
        if (out_.size() - o < kLargestSegment + kLargestTail) {
            out_.resize(std::max(out_.size() * 2, o + kLargestSegment + kLargestTail));
            out = out_.data();
        }

        counter += run;
        if (counter > kProgressStep) {
            counter = 0;
            if (ProgressVisible == 1) {
                if (job.Aclss->CFhz() == 0) return finish();
                ReportProgress(static_cast<double>(pos) + job.ProcessedTotal, job);
            }
        }

        const std::uint8_t L = draw();
        run = L;
        const std::int64_t rem = n - pos;
        std::uint8_t H = L;
        if (L >= rem) {
            run = static_cast<std::int32_t>(rem);
            if (isLast == 0) {
                H = static_cast<std::uint8_t>(rem);
            } else if (draw() % 7 == 0) {
                H = static_cast<std::uint8_t>(rem);
                final = true;
            }
            // Otherwise the last segment declares more than it holds; the decoder cuts the
            // run at the end of the file.
        }
        if (run == 0) run = 1;

        emitCounted(H);
        const std::uint8_t r2 = draw();
        emitCounted(r2);
        if (!first) {
            first = true;
            FillModulus = r2 % 27 + 4;
        }
        const std::uint8_t r3 = draw();
        const std::int32_t F = r3 % FillModulus + 1;
        emitCounted(r3);
        const std::uint8_t r4 = draw();
        emitCounted(r4);
        ks.Mix(r4, fb);
        for (std::int32_t f = 0; f < F; ++f) emitCounted(draw());
        ks.Mix(cs, fb);

        const std::uint8_t* in = block.data() + pos;
        std::uint8_t* dst = out + o;
        if (kStaged) {
            runPendingChaos();
            ChaosAdvance();
            ChaosFirstSine();
        }
        codeRun(in, dst, run);
        pos += run;
        o += static_cast<std::size_t>(run);

        ks.Mix(ps, fb);
        if (kStaged) {
            chaosArgument = static_cast<double>(ks.State());
            finishPending = true;
        } else {
            ChaosStep(static_cast<double>(ks.State()));
        }
    } while (pos < n);

    if (final) {
        // The tail: random bytes shaped so that the decoder parses them as a segment whose
        // filler never fits or leaves no room for data. Each test may end it early.
        do {
            std::uint8_t t1 = draw();
            std::uint8_t t2 = draw();
            if (t1 % 20 == 0) break;
            emit(t2);

            const std::uint8_t u1 = draw();
            const std::uint8_t k = ks.Next(fb);
            if (k % 20 == 0) break;
            const std::uint8_t e = u1 ^ k;
            fb = e;
            out[o++] = e;
            AddToSum(cs, e);

            t1 = draw();
            const std::uint8_t u2 = draw();
            if (t1 % 20 == 0) break;
            const std::int32_t cnt = u2 % FillModulus + 2;
            emit(u2);

            for (std::int32_t c = 0; c < cnt; ++c) {
                t1 = draw();
                t2 = draw();
                if (t1 % 20 == 0) break;
                emit(t2);
            }
        } while (false);
    }

    return finish();
}

std::span<const std::uint8_t> Jmi::DecodeBlock(std::span<const std::uint8_t> chunk,
                                               std::int32_t isLast, std::int32_t started,
                                               JobContext& job) {
    const auto n = static_cast<std::int64_t>(chunk.size());
    OutLength = 0;
    Consumed = 0;
    // A chunk that is not the file's last is parsed only up to 360 bytes before its end, so
    // no segment (at most 289 bytes) is ever cut by the chunk boundary.
    const std::int64_t limit = n - kDecodeMargin;
    if (isLast == 0 && n < kDecodeMargin + 1) return {};
    if (n < 4) {
        Consumed = n;
        return {};
    }

    if (out_.size() < static_cast<std::size_t>(n)) out_.resize(static_cast<std::size_t>(n));
    std::uint8_t* out = out_.data();
    const std::uint8_t* in = chunk.data();
    std::int64_t produced = 0;
    std::int64_t pos = 0;
    std::int64_t counter = 0;
    std::int64_t previous = 0;
    bool first = started != 0;

    // Feedback and running sums live in locals for the whole chunk, as in the encoder. Here
    // every feedback byte is a stored byte, known before its key-stream step.
    KeyStreamCursor ks(Stream, KeyWords(), KeyLast);
    std::uint8_t fb = Feedback;
    std::int32_t cs = CipherSum;
    std::int32_t ps = PlainSum;
    // Reads one stored byte and returns its plain value; the stored byte becomes the feedback
    // and goes into the cipher sum.
    auto read = [&] {
        const std::uint8_t k = ks.Next(fb);
        const std::uint8_t e = in[pos++];
        fb = e;
        AddToSum(cs, e);
        return static_cast<std::uint8_t>(e ^ k);
    };

    for (;;) {
        counter += pos - previous;
        previous = pos;
        if (counter > kProgressStep) {
            counter = 0;
            if (ProgressVisible == 1) {
                if (job.Aclss->CFhz() == 0) {
                    Consumed = pos;
                    break;
                }
                ReportProgress(static_cast<double>(pos) + job.ProcessedTotal, job);
            }
        }

        const std::uint8_t H = read();
        std::int64_t run = H == 0 ? 1 : H;
        const std::uint8_t r2 = read();
        if (!first) {
            first = true;
            FillModulus = r2 % 27 + 4;
        }
        const std::int32_t F = read() % FillModulus + 1;
        const std::uint8_t r4 = read();
        ks.Mix(r4, fb);

        if (F > n - pos) {
            Consumed = n;
            break;
        }
        {
            // The filler: only its key-stream steps and its sum matter. Its bytes are added up
            // in the loop beside the chain: a separate summing loop of a random length, run
            // twice per segment with the data run's, cost the processor more in mispredicted
            // loop exits than the additions themselves.
            const std::uint8_t* src = in + pos;
            std::int32_t fillerTotal = 0;
            for (std::int32_t f = 0; f < F; ++f) {
                ks.Next(fb);
                fb = src[f];
                fillerTotal += fb;
            }
            AddRunTotal(cs, fillerTotal);
            pos += F;
        }
        ks.Mix(cs, fb);

        if (run > n - pos) {
            run = n - pos;
            if (run == 0) {
                Consumed = n;
                break;
            }
        }
        {
            // The data run: the hot loop.
            const std::uint8_t* src = in + pos;
            std::uint8_t* dst = out + produced;
            // The plain bytes come off the key-stream chain, and their sum is mixed in right
            // after the run: both sums are added up as the bytes come, as in the filler.
            std::int32_t cipherTotal = 0;
            std::int32_t plainTotal = 0;
            for (std::int64_t i = 0; i < run; ++i) {
                const std::uint8_t k = ks.Next(fb);
                const std::uint8_t e = src[i];
                fb = e;
                cipherTotal += e;
                const std::uint8_t p = e ^ k;
                dst[i] = p;
                plainTotal += p;
            }
            AddRunTotal(cs, cipherTotal);
            AddRunTotal(ps, plainTotal);
            pos += run;
            produced += run;
        }
        ks.Mix(ps, fb);

        if (pos >= (isLast != 0 ? n - 4 : limit)) {
            Consumed = pos;
            break;
        }
    }

    Feedback = fb;
    CipherSum = cs;
    PlainSum = ps;
    ks.Save();
    OutLength = produced;
    return {out, static_cast<std::size_t>(produced)};
}

}  // namespace velmora::engine
