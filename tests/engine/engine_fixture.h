#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "jmi.h"

namespace velmora::test {

using Bytes = std::vector<std::uint8_t>;

// A progress object that records what the engine tells it and cancels on request.
class ProgressDouble : public engine::ProgressObject {
  public:
    explicit ProgressDouble(engine::JobContext& job) : job_(job) {}

    void CFmshow() override { ++shows; }
    std::int32_t CFhz() override {
        ++polls;
        if (cancelAtPoll > 0 && polls >= cancelAtPoll) cancelled = true;
        return cancelled ? 0 : 1;
    }
    void Cwjm(std::u16string& i, std::u16string& j) override {
        source = i;
        target = j;
    }
    void CpgbarV(std::int32_t& i) override {
        percentages.push_back(i);
        totalsAtReport.push_back(job_.ProcessedTotal);
    }
    void CFmunload() override { ++unloads; }

    int cancelAtPoll = 0;  // the poll (1-based) from which on CFhz answers 0; 0 = never
    bool cancelled = false;
    int polls = 0;
    int shows = 0;
    int unloads = 0;
    std::u16string source;
    std::u16string target;
    std::vector<std::int32_t> percentages;
    std::vector<double> totalsAtReport;

  private:
    engine::JobContext& job_;
};

// A temporary folder, an engine whose timer and state folder are fixed, and file helpers.
class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path Path(const std::string& name) const { return dir_ / name; }
    void WriteFile(const std::filesystem::path& path, const Bytes& bytes) const;
    Bytes ReadFile(const std::filesystem::path& path) const;

    // Encrypts `plain` from a file and decrypts it back; returns the decrypted bytes.
    Bytes RoundTripFile(const Bytes& plain, const std::u16string& password);

    std::filesystem::path dir_;
    engine::Jmi jmi_{[] { return 43210.5f; }, {}};
    engine::JobContext job_;
};

// Deterministic filler for plaintexts: byte i = (a*i + b) mod 256.
Bytes Pattern(std::size_t length, unsigned a = 31, unsigned b = 7);

}  // namespace velmora::test
