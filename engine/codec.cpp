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

namespace velmora::engine {

namespace {

constexpr std::size_t kLargestSegment = 4 + 30 + 255;
constexpr std::size_t kLargestTail = 34;

inline void AddToSum(std::int32_t& sum, std::uint8_t value) {
    sum += value;
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

std::span<const std::uint8_t> Jmi::EncodeBlock(std::span<const std::uint8_t> block,
                                               std::int32_t isLast, std::int32_t started,
                                               JobContext& job) {
    if (noiseOverride_) {
        return EncodeWith([this] { return noiseOverride_(); }, block, isLast, started, job);
    }
    return EncodeWith([this] { return NoiseByte(); }, block, isLast, started, job);
}

template <class Noise>
std::span<const std::uint8_t> Jmi::EncodeWith(Noise noise, std::span<const std::uint8_t> block,
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

    KeyStreamCursor ks(Stream, KeyTable.data(), KeyLast);
    auto emit = [&](std::uint8_t plain) {
        const std::uint8_t e = plain ^ ks.Next(Feedback);
        Feedback = e;
        out[o++] = e;
        return e;
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
                if (job.Aclss->CFhz() == 0) {
                    ks.Save();
                    OutLength = static_cast<std::int64_t>(o);
                    return {out, o};
                }
                ReportProgress(static_cast<double>(pos) + job.ProcessedTotal, job);
            }
        }

        const std::uint8_t L = noise();
        run = L;
        const std::int64_t rem = n - pos;
        std::uint8_t H = L;
        if (L >= rem) {
            run = static_cast<std::int32_t>(rem);
            if (isLast == 0) {
                H = static_cast<std::uint8_t>(rem);
            } else if (noise() % 7 == 0) {
                H = static_cast<std::uint8_t>(rem);
                final = true;
            }
            // Otherwise the last segment declares more than it holds; the decoder cuts the
            // run at the end of the file.
        }
        if (run == 0) run = 1;

        AddToSum(CipherSum, emit(H));
        const std::uint8_t r2 = noise();
        AddToSum(CipherSum, emit(r2));
        if (!first) {
            first = true;
            FillModulus = r2 % 27 + 4;
        }
        const std::uint8_t r3 = noise();
        const std::int32_t F = r3 % FillModulus + 1;
        AddToSum(CipherSum, emit(r3));
        const std::uint8_t r4 = noise();
        AddToSum(CipherSum, emit(r4));
        ks.Mix(r4, Feedback);
        for (std::int32_t f = 0; f < F; ++f) AddToSum(CipherSum, emit(noise()));
        ks.Mix(CipherSum, Feedback);

        {
            // The data run: the hot loop, kept on locals.
            const std::uint8_t* in = block.data() + pos;
            std::uint8_t* dst = out + o;
            std::uint8_t fb = Feedback;
            std::int32_t cs = CipherSum;
            std::int32_t ps = PlainSum;
            for (std::int32_t i = 0; i < run; ++i) {
                const std::uint8_t p = in[i];
                ps += p;
                ps -= ps > kSumModulus ? kSumModulus : 0;
                const std::uint8_t e = p ^ ks.Next(fb);
                fb = e;
                dst[i] = e;
                cs += e;
                cs -= cs > kSumModulus ? kSumModulus : 0;
            }
            Feedback = fb;
            CipherSum = cs;
            PlainSum = ps;
            pos += run;
            o += static_cast<std::size_t>(run);
        }
        ks.Mix(PlainSum, Feedback);
        ChaosStep(static_cast<double>(ks.State()));
    } while (pos < n);

    if (final) {
        // The tail: random bytes shaped so that the decoder parses them as a segment whose
        // filler never fits or leaves no room for data. Each test may end it early.
        do {
            std::uint8_t t1 = noise();
            std::uint8_t t2 = noise();
            if (t1 % 20 == 0) break;
            emit(t2);

            const std::uint8_t u1 = noise();
            const std::uint8_t k = ks.Next(Feedback);
            if (k % 20 == 0) break;
            const std::uint8_t e = u1 ^ k;
            Feedback = e;
            out[o++] = e;
            AddToSum(CipherSum, e);

            t1 = noise();
            const std::uint8_t u2 = noise();
            if (t1 % 20 == 0) break;
            const std::int32_t cnt = u2 % FillModulus + 2;
            emit(u2);

            for (std::int32_t c = 0; c < cnt; ++c) {
                t1 = noise();
                t2 = noise();
                if (t1 % 20 == 0) break;
                emit(t2);
            }
        } while (false);
    }

    ks.Save();
    OutLength = static_cast<std::int64_t>(o);
    return {out, o};
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

    KeyStreamCursor ks(Stream, KeyTable.data(), KeyLast);
    // Reads one stored byte and returns its plain value; the stored byte becomes `Feedback`
    // and goes into `CipherSum`.
    auto read = [&] {
        const std::uint8_t k = ks.Next(Feedback);
        const std::uint8_t e = in[pos++];
        Feedback = e;
        AddToSum(CipherSum, e);
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
        ks.Mix(r4, Feedback);

        if (F > n - pos) {
            Consumed = n;
            break;
        }
        for (std::int32_t f = 0; f < F; ++f) read();
        ks.Mix(CipherSum, Feedback);

        if (run > n - pos) {
            run = n - pos;
            if (run == 0) {
                Consumed = n;
                break;
            }
        }
        {
            // The data run: the hot loop, kept on locals.
            const std::uint8_t* src = in + pos;
            std::uint8_t* dst = out + produced;
            std::uint8_t fb = Feedback;
            std::int32_t cs = CipherSum;
            std::int32_t ps = PlainSum;
            for (std::int64_t i = 0; i < run; ++i) {
                const std::uint8_t k = ks.Next(fb);
                const std::uint8_t e = src[i];
                fb = e;
                cs += e;
                cs -= cs > kSumModulus ? kSumModulus : 0;
                const std::uint8_t p = e ^ k;
                dst[i] = p;
                ps += p;
                ps -= ps > kSumModulus ? kSumModulus : 0;
            }
            Feedback = fb;
            CipherSum = cs;
            PlainSum = ps;
            pos += run;
            produced += run;
        }
        ks.Mix(PlainSum, Feedback);

        if (pos >= (isLast != 0 ? n - 4 : limit)) {
            Consumed = pos;
            break;
        }
    }

    ks.Save();
    OutLength = produced;
    return {out, static_cast<std::size_t>(produced)};
}

}  // namespace velmora::engine
