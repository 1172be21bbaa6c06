#pragma once

#include <cstdio>
#include <string>

#include "progress_object.h"

namespace velmora::cli {

// The command line's progress object: a bar on standard error (when `draw` is set) and the
// Ctrl-C flag as the continue flag. The engine polls it at least every 300000 bytes.
class TerminalProgress : public engine::ProgressObject {
  public:
    TerminalProgress(std::FILE* out, bool draw) : out_(out), draw_(draw) {}

    void CFmshow() override {}
    std::int32_t CFhz() override;
    void Cwjm(std::u16string& i, std::u16string& j) override;
    void CpgbarV(std::int32_t& i) override;
    void CFmunload() override;

    // True once the continue flag has answered 0: the file in hand was left unfinished.
    bool CancelSeen() const { return cancelSeen_; }

  private:
    void Draw();

    std::FILE* out_;
    bool draw_;
    std::string name_;
    int percent_ = -1;
    bool cancelSeen_ = false;
};

}  // namespace velmora::cli
