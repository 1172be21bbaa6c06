#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "progress_object.h"

namespace velmora::frontend {

// An in-process progress object that behaves like the server's window for the client: shown by
// CFmshow, answering 1 until the scripted cancel, gone after CFmunload. It records every call.
class ProgressDouble : public engine::ProgressObject {
  public:
    void CFmshow() override {
        Record("CFmshow");
        if (!shown) flag = 1;
        shown = true;
    }
    std::int32_t CFhz() override {
        Record("CFhz");
        ++polls;
        if (cancelAtPoll > 0 && polls >= cancelAtPoll && shown) {
            flag = 0;
            shown = false;
        }
        return flag;
    }
    void Cwjm(std::u16string& i, std::u16string& j) override {
        Record("Cwjm");
        paths.emplace_back(i, j);
    }
    void CpgbarV(std::int32_t& i) override {
        Record("CpgbarV");
        if (i < 0) i = 0;
        if (i > 100) i = 100;
        percentages.push_back(i);
    }
    void CFmunload() override {
        Record("CFmunload");
        shown = false;
        flag = 0;
    }

    void Record(const std::string& name) {
        calls.push_back(name);
        if (observer) observer(name);
    }

    int Count(const std::string& name) const {
        int n = 0;
        for (const auto& c : calls) n += c == name ? 1 : 0;
        return n;
    }

    std::vector<std::string> calls;
    std::vector<std::pair<std::u16string, std::u16string>> paths;
    std::vector<std::int32_t> percentages;
    bool shown = false;
    std::int32_t flag = 0;
    int polls = 0;
    int cancelAtPoll = 0;
    std::function<void(const std::string&)>
        observer;  // sees every call as it arrives  // the user presses cancel just before this
                   // poll (1-based); 0 never
};

}  // namespace velmora::frontend
