#include <QApplication>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <cstdio>
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

int serve(int argc, char** argv) {
    QApplication app(argc, argv);
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
        std::fprintf(stderr, "pellorin: ending, %s\n", qPrintable(why));
        // Let go of the name at once, so a client arriving now activates a new server instead
        // of reaching this one on its way out.
        if (bus.isConnected()) bus.unregisterService(PELLORIN_BUS_NAME);
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
