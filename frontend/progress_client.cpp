#include "progress_client.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QMap>

#include "vesk_interface.h"

namespace velmora::frontend {

namespace {

const QString busName = QStringLiteral(PELLORIN_BUS_NAME);
const QString objectPath = QStringLiteral(PELLORIN_OBJECT_PATH);

[[noreturn]] void fail(const QString& text) {
    throw ProgressServerError(text.toStdString());
}

// The server was found and then went: it was ending when we reached it.
bool Vanished(const QDBusError& error) {
    switch (error.type()) {
        case QDBusError::UnknownObject:
        case QDBusError::ServiceUnknown:
        case QDBusError::NoReply:
            return true;
        default:
            return error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner");
    }
}

QString Ended(const QDBusError& error) {
    return QStringLiteral(
               "The progress server %1 ended each time it was started (%2); try "
               "again, and if it persists run pellorin --regserver from this build")
        .arg(busName, error.message());
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
    // A server whose last client has just gone gives up its name and ends; a client that found
    // it a moment before sees it vanish. By then its name is free, so starting again activates
    // a fresh server.
    constexpr int attempts = 5;
    for (int attempt = 1;; ++attempt) {
        try {
            ConnectToServer();
            return;
        } catch (const ServerVanished& vanished) {
            if (attempt == attempts) fail(vanished.text);
        }
    }
}

void ProgressClient::ConnectToServer() {
    StartServer();
    // Bound to the unique name of the server just activated: if that process dies, later calls
    // fail instead of silently activating a fresh server whose unloaded window answers 0.
    const QDBusReply<QString> owner = bus_.interface()->serviceOwner(busName);
    if (!owner.isValid()) throw ServerVanished{Ended(owner.error())};
    const QString server = owner.value();
    // The identity travels in the introspection data; a server built from another type
    // library would answer the same method names with different meanings.
    QDBusMessage introspect = QDBusMessage::createMethodCall(
        server, objectPath, QStringLiteral("org.freedesktop.DBus.Introspectable"),
        QStringLiteral("Introspect"));
    const QDBusReply<QString> xml = bus_.call(introspect, QDBus::Block, callTimeoutMs);
    if (!xml.isValid()) {
        if (Vanished(xml.error())) throw ServerVanished{Ended(xml.error())};
        fail(QStringLiteral("The progress server %1 does not answer: %2")
                 .arg(busName, xml.error().message()));
    }
    const QString lacks =
        QStringLiteral(
            "The program serving %1 lacks the interface %2 %3; run pellorin "
            "--regserver from this build")
            .arg(busName, QStringLiteral(VESK_INTERFACE), QStringLiteral(VESK_INTERFACE_GUID));
    // No interface at all is also what an ending server shows once its object has gone.
    if (!xml.value().contains(QStringLiteral("<interface name=\"" VESK_INTERFACE "\""))) {
        throw ServerVanished{lacks};
    }
    if (!xml.value().contains(QStringLiteral(VESK_INTERFACE_GUID))) fail(lacks);
    proxy_ = std::make_unique<OrgVelmoraVesk_Class1Interface>(server, objectPath, bus_);
    proxy_->setTimeout(callTimeoutMs);
    // The server stays while it has callers and gives up on an activation nobody calls, so the
    // object makes itself known at once: Velmora creates it at start-up and may not call it
    // until its first job, long after. Reading the flag is the call without a visible effect.
    QDBusReply<int> first = proxy_->CFhz();
    if (!first.isValid() && Vanished(first.error())) {
        proxy_.reset();
        throw ServerVanished{Ended(first.error())};
    }
    check(first, "CFhz");
}

void ProgressClient::StartServer() {
    QDBusReply<void> started = bus_.interface()->startService(busName);
    if (!started.isValid() && EndedForWantOfADisplay(started.error())) {
        // The bus starts its servers with the environment it was given when the session began;
        // when that lacked the display, hand it ours (as a desktop session does at log-in) and
        // try once more.
        const QString passed = PassDisplayToBus();
        if (passed.isEmpty()) {
            fail(QStringLiteral("The progress server %1 cannot open its window: there is no "
                                "display (DISPLAY and WAYLAND_DISPLAY are empty here and in the "
                                "session bus); start Velmora inside a graphical desktop session")
                     .arg(busName));
        }
        started = bus_.interface()->startService(busName);
        if (!started.isValid() && EndedForWantOfADisplay(started.error())) {
            fail(QStringLiteral("The progress server %1 cannot open a window on the display %2 "
                                "even though it was handed to the session bus; check that the "
                                "display accepts this user, or run "
                                "'dbus-update-activation-environment DISPLAY XAUTHORITY "
                                "WAYLAND_DISPLAY' in the desktop session and start Velmora again")
                     .arg(busName, passed));
        }
    }
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
}

bool ProgressClient::EndedForWantOfADisplay(const QDBusError& error) {
    return error.name() == QLatin1String("org.freedesktop.DBus.Error.Spawn.ChildExited") &&
           error.message().endsWith(QStringLiteral("status %1").arg(PELLORIN_NO_DISPLAY_STATUS));
}

QString ProgressClient::PassDisplayToBus() {
    QMap<QString, QString> environment;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "XDG_RUNTIME_DIR"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty()) environment.insert(QString::fromLatin1(name), value);
    }
    const QString display = environment.value(QStringLiteral("WAYLAND_DISPLAY"),
                                              environment.value(QStringLiteral("DISPLAY")));
    if (display.isEmpty()) return {};
    qDBusRegisterMetaType<QMap<QString, QString>>();
    QDBusMessage update = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("UpdateActivationEnvironment"));
    update << QVariant::fromValue(environment);
    const QDBusReply<void> reply = bus_.call(update, QDBus::Block, callTimeoutMs);
    if (!reply.isValid()) {
        fail(QStringLiteral("The progress server %1 cannot open its window: the session bus "
                            "starts it without a display, and the bus refused this program's "
                            "display %2 (%3); run 'dbus-update-activation-environment DISPLAY "
                            "XAUTHORITY WAYLAND_DISPLAY' in the desktop session and start "
                            "Velmora again")
                 .arg(busName, display, reply.error().message()));
    }
    return display;
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
