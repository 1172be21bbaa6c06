#include "progress_client.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusReply>

#include "vesk_interface.h"

namespace velmora::frontend {

namespace {

const QString busName = QStringLiteral(PELLORIN_BUS_NAME);
const QString objectPath = QStringLiteral(PELLORIN_OBJECT_PATH);

[[noreturn]] void fail(const QString& text) {
    throw ProgressServerError(text.toStdString());
}

template <typename Reply>
void check(const Reply& reply, const char* method) {
    if (reply.isValid()) return;
    fail(QStringLiteral("The progress server failed in %1: %2 (%3)")
             .arg(QLatin1String(method), reply.error().message(), reply.error().name()));
}

}  // namespace

ProgressClient::ProgressClient(QDBusConnection bus) : bus_(std::move(bus)) {
    if (!bus_.isConnected()) {
        fail(QStringLiteral("No session bus is running (%1); start Velmora inside a desktop "
                            "session or under dbus-run-session")
                 .arg(bus_.lastError().message()));
    }
    const QDBusReply<void> started = bus_.interface()->startService(busName);
    if (!started.isValid()) {
        if (started.error().type() == QDBusError::ServiceUnknown) {
            fail(QStringLiteral("The progress server %1 is not registered; run pellorin "
                                "--regserver")
                     .arg(busName));
        }
        fail(QStringLiteral("The progress server %1 could not be started: %2; run pellorin "
                            "--regserver again")
                 .arg(busName, started.error().message()));
    }
    // Bound to the unique name of the server just activated: if that process dies, later calls
    // fail instead of silently activating a fresh server whose unloaded window answers 0.
    const QDBusReply<QString> owner = bus_.interface()->serviceOwner(busName);
    if (!owner.isValid()) {
        fail(QStringLiteral("The progress server %1 went away while starting: %2")
                 .arg(busName, owner.error().message()));
    }
    const QString server = owner.value();
    // The identity travels in the introspection data; a server built from another type
    // library would answer the same method names with different meanings.
    QDBusMessage introspect = QDBusMessage::createMethodCall(
        server, objectPath, QStringLiteral("org.freedesktop.DBus.Introspectable"),
        QStringLiteral("Introspect"));
    const QDBusReply<QString> xml = bus_.call(introspect, QDBus::Block, callTimeoutMs);
    if (!xml.isValid()) {
        fail(QStringLiteral("The progress server %1 does not answer: %2")
                 .arg(busName, xml.error().message()));
    }
    if (!xml.value().contains(QStringLiteral("<interface name=\"" VESK_INTERFACE "\"")) ||
        !xml.value().contains(QStringLiteral(VESK_INTERFACE_GUID))) {
        fail(
            QStringLiteral("The program serving %1 lacks the interface %2 %3; run pellorin "
                           "--regserver from this build")
                .arg(busName, QStringLiteral(VESK_INTERFACE), QStringLiteral(VESK_INTERFACE_GUID)));
    }
    proxy_ = std::make_unique<OrgVelmoraVesk_Class1Interface>(server, objectPath, bus_);
    proxy_->setTimeout(callTimeoutMs);
    // The server stays while it has callers and gives up on an activation nobody calls, so the
    // object makes itself known at once: Velmora creates it at start-up and may not call it
    // until its first job, long after. Reading the flag is the call without a visible effect.
    CFhz();
}

ProgressClient::~ProgressClient() = default;

void ProgressClient::CFmshow() {
    check(QDBusReply<void>(proxy_->CFmshow()), "CFmshow");
}

std::int32_t ProgressClient::CFhz() {
    QDBusReply<int> reply = proxy_->CFhz();
    check(reply, "CFhz");
    return reply.value();
}

void ProgressClient::Cwjm(std::u16string& i, std::u16string& j) {
    QString outJ;
    const QDBusReply<QString> reply =
        proxy_->Cwjm(QString::fromStdU16String(i), QString::fromStdU16String(j), outJ);
    check(reply, "Cwjm");
    i = reply.value().toStdU16String();
    j = outJ.toStdU16String();
}

void ProgressClient::CpgbarV(std::int32_t& i) {
    const QDBusReply<int> reply = proxy_->CpgbarV(i);
    check(reply, "CpgbarV");
    i = reply.value();
}

void ProgressClient::CFmunload() {
    check(QDBusReply<void>(proxy_->CFmunload()), "CFmunload");
}

}  // namespace velmora::frontend
