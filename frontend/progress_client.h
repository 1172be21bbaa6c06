#pragma once

#include <QDBusConnection>
#include <memory>
#include <string>

#include "error.h"
#include "progress_object.h"

class OrgVelmoraVesk_Class1Interface;

namespace velmora::frontend {

// Raised when the progress server cannot be reached or answers wrongly. The message names the
// cause and what to do about it, so the front end can show it as it stands.
class ProgressServerError : public common::Error {
  public:
    using common::Error::Error;
};

// The progress object of a job, living in the `pellorin` server on the session bus. The server
// is activated by the bus (never spawned from here) and its interface identity is checked
// before the first call. Every call waits at most `callTimeoutMs`, so a dead server ends the
// job with an error instead of hanging the front end.
class ProgressClient : public engine::ProgressObject {
  public:
    static constexpr int callTimeoutMs = 5000;

    // Throws ProgressServerError when there is no session bus, no registration or a server of
    // another identity.
    explicit ProgressClient(QDBusConnection bus = QDBusConnection::sessionBus());
    ~ProgressClient() override;

    void CFmshow() override;
    std::int32_t CFhz() override;
    void Cwjm(std::u16string& i, std::u16string& j) override;
    void CpgbarV(std::int32_t& i) override;
    void CFmunload() override;

  private:
    QDBusConnection bus_;
    std::unique_ptr<OrgVelmoraVesk_Class1Interface> proxy_;
};

}  // namespace velmora::frontend
