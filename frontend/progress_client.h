#pragma once

#include <QDBusConnection>
#include <QDBusError>
#include <QString>
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
    // The server found was ending and went before it could be used; `text` is what to report
    // when it keeps happening.
    struct ServerVanished {
        QString text;
    };
    void ConnectToServer();
    void StartServer();
    // The server ended at start-up because it could not reach a display.
    static bool EndedForWantOfADisplay(const QDBusError& error);
    // Hands our display to the bus's activation environment; returns the display passed, or
    // nothing when we have none ourselves.
    QString PassDisplayToBus();

    QDBusConnection bus_;
    std::unique_ptr<OrgVelmoraVesk_Class1Interface> proxy_;
};

}  // namespace velmora::frontend
