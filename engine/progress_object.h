#pragma once

#include <cstdint>
#include <string>

namespace velmora::engine {

// The progress object a job reports to: the five methods of the progress server's `_Class1`,
// in the server's order. The engine calls `Cwjm`, `CFhz` and `CpgbarV`; the front end calls
// `CFmshow` and `CFmunload`. Any method may throw (a failed cross-process call); the engine
// lets that end the running file operation.
class ProgressObject {
  public:
    virtual ~ProgressObject() = default;

    // Shows the progress window (loading it first when needed).
    virtual void CFmshow() = 0;
    // The continue flag: 0 once the user has cancelled, anything else to go on.
    virtual std::int32_t CFhz() = 0;
    // Shows the source and target paths. Both strings travel in and out.
    virtual void Cwjm(std::u16string& i, std::u16string& j) = 0;
    // Shows a percentage; the server writes back the value clamped to 0..100.
    virtual void CpgbarV(std::int32_t& i) = 0;
    // Closes the progress window.
    virtual void CFmunload() = 0;
};

}  // namespace velmora::engine
