#include <QApplication>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app_icon.h"
#include "class1_service.h"
#include "client_watch.h"
#include "registration.h"
#include "test_hooks.h"
#include "vesk_adaptor.h"
#include "window_reference.h"

namespace {

int registration(int argc, char** argv, bool add) {
    // No window here: registering must work without a display.
    QCoreApplication app(argc, argv);
    const QString program = QCoreApplication::applicationFilePath();
    const QString error = add ? pellorin::registerServer(PELLORIN_BUS_NAME, program)
                              : pellorin::unregisterServer(PELLORIN_BUS_NAME);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "pellorin: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("pellorin: %s %s\n", add ? "registered" : "unregistered",
                qPrintable(pellorin::serviceFilePath(PELLORIN_BUS_NAME)));
    return 0;
}

// Qt ends a program whose window system cannot be reached with an abort, which the bus reports
// as a crash. The server says what is missing instead and ends with the status the client
// recognises.
[[noreturn]] void NoDisplay() {
    std::fprintf(stderr,
                 "pellorin: cannot open a window: no display can be reached (DISPLAY=\"%s\", "
                 "WAYLAND_DISPLAY=\"%s\"). The session bus starts pellorin with the environment "
                 "it was given; run 'dbus-update-activation-environment DISPLAY XAUTHORITY "
                 "WAYLAND_DISPLAY' in the desktop session.\n",
                 qPrintable(qEnvironmentVariable("DISPLAY")),
                 qPrintable(qEnvironmentVariable("WAYLAND_DISPLAY")));
    std::fflush(stderr);
    std::_Exit(PELLORIN_NO_DISPLAY_STATUS);
}

QtMessageHandler qtHandler = nullptr;

void StartupMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) NoDisplay();
    qtHandler(type, context, text);
}

bool DisplayNamed() {
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith(QStringLiteral("xcb")) &&
        !platform.startsWith(QStringLiteral("wayland"))) {
        return true;  // offscreen and the like need no display
    }
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int serve(int argc, char** argv) {
    if (!DisplayNamed()) NoDisplay();
    // Only the window system's start-up can fail fatally here.
    qtHandler = qInstallMessageHandler(StartupMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtHandler);
    velmora::SetApplicationIcon();
    // The window comes and goes with the jobs; the server lives as long as it has clients.
    QApplication::setQuitOnLastWindowClosed(false);

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "pellorin: no session bus (%s)\n",
                     qPrintable(bus.lastError().message()));
        return 1;
    }

    pellorin::WindowReference window;
    pellorin::ClientWatch watch(bus);
    QObject::connect(&watch, &pellorin::ClientWatch::finished, &app, [&bus](const QString& why) {
        // Let go of the name before anything else, so a client arriving now activates a new
        // server instead of reaching this one on its way out. A client that found this one a
        // moment earlier sees it vanish and starts again.
        if (bus.isConnected()) bus.unregisterService(PELLORIN_BUS_NAME);
        std::fprintf(stderr, "pellorin: ending, %s\n", qPrintable(why));
        QCoreApplication::quit();
    });

    pellorin::Class1Service service(window, watch);
    new Class1Adaptor(&service);
    if (!bus.registerObject(PELLORIN_OBJECT_PATH, &service)) {
        std::fprintf(stderr, "pellorin: cannot serve %s\n", PELLORIN_OBJECT_PATH);
        return 1;
    }
    pellorin::TestHooks hooks(window);
    if (qEnvironmentVariable("PELLORIN_TEST_HOOKS") == QStringLiteral("1")) {
        bus.registerObject(QStringLiteral("/TestHooks"), &hooks, QDBusConnection::ExportAllSlots);
    }
    // Claimed last, so a client that sees the name finds the object ready.
    if (!bus.registerService(PELLORIN_BUS_NAME)) {
        std::fprintf(stderr, "pellorin: the name %s is taken\n", PELLORIN_BUS_NAME);
        return 1;
    }
    return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
    for (int n = 1; n < argc; ++n) {
        const char* arg = argv[n];
        if (std::strcmp(arg, "--regserver") == 0) return registration(argc, argv, true);
        if (std::strcmp(arg, "--unregserver") == 0) return registration(argc, argv, false);
    }
    return serve(argc, argv);
}
