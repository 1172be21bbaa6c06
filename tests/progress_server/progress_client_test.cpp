// The client against a real pellorin activated by a private session bus.
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <chrono>
#include <csignal>
#include <cstdio>

#include "progress_client.h"

using velmora::frontend::ProgressClient;
using velmora::frontend::ProgressServerError;

namespace {

bool hook(const char* name) {
    QDBusInterface hooks(QStringLiteral("org.velmora.Pellorin"), QStringLiteral("/TestHooks"),
                         QStringLiteral("org.velmora.Pellorin.TestHooks"));
    const QDBusReply<bool> reply = hooks.call(QString::fromLatin1(name));
    EXPECT_TRUE(reply.isValid()) << reply.error().message().toStdString();
    return reply.value();
}

// A process that has ended but is not yet collected by its parent counts as gone.
bool processGone(uint pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return true;
    const QByteArray fields = stat.readAll();
    return fields.mid(fields.lastIndexOf(')') + 2, 1) == "Z";
}

bool registered() {
    return qEnvironmentVariable("PELLORIN_EXPECT_UNREGISTERED").isEmpty();
}

}  // namespace

TEST(ProgressClientEndToEnd, JobInClientOrderThenCancel) {
    if (!registered()) GTEST_SKIP() << "runs with a registered server";
    ProgressClient client;
    EXPECT_EQ(client.CFhz(), 0) << "an unloaded window answers 0";
    EXPECT_FALSE(hook("WindowShown"));

    client.CFmshow();
    EXPECT_TRUE(hook("WindowShown"));
    EXPECT_EQ(client.CFhz(), 1);

    std::u16string i = u"/home/用户/报告.txt";
    std::u16string j = u"/home/用户/报告.txt.vel";
    client.Cwjm(i, j);
    EXPECT_EQ(i, u"/home/用户/报告.txt");
    EXPECT_EQ(j, u"/home/用户/报告.txt.vel");

    struct Case {
        std::int32_t in, out;
    };
    for (const Case c : {Case{40, 40}, Case{-7, 0}, Case{250, 100}}) {
        std::int32_t value = c.in;
        client.CpgbarV(value);
        EXPECT_EQ(value, c.out) << "sent " << c.in;
    }

    EXPECT_TRUE(hook("ClickCancel"));
    EXPECT_EQ(client.CFhz(), 0);
    EXPECT_FALSE(hook("WindowShown"));
    client.CFmunload();
    EXPECT_EQ(client.CFhz(), 0);
}

TEST(ProgressClientEndToEnd, CloseBoxActsAsCancel) {
    if (!registered()) GTEST_SKIP() << "runs with a registered server";
    ProgressClient client;
    client.CFmshow();
    EXPECT_EQ(client.CFhz(), 1);
    EXPECT_TRUE(hook("CloseWindow"));
    EXPECT_EQ(client.CFhz(), 0);
    client.CFmunload();
}

TEST(ProgressClientEndToEnd, KilledServerRaisesInsteadOfHanging) {
    if (!registered()) GTEST_SKIP() << "runs with a registered server";
    ProgressClient client;
    client.CFmshow();
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    const QDBusReply<uint> pid = bus->servicePid(QStringLiteral("org.velmora.Pellorin"));
    ASSERT_TRUE(pid.isValid());
    ASSERT_EQ(::kill(static_cast<pid_t>(pid.value()), SIGKILL), 0);
    // Wait for the bus to notice, so the call below fails rather than re-activating.
    while (bus->isServiceRegistered(QStringLiteral("org.velmora.Pellorin")).value()) {
        QCoreApplication::processEvents();
    }
    EXPECT_THROW(client.CFhz(), ProgressServerError);
}

TEST(ProgressClientEndToEnd, AverageCallTime) {
    if (!registered()) GTEST_SKIP() << "runs with a registered server";
    ProgressClient client;
    client.CFmshow();
    constexpr int calls = 2000;
    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < calls; ++n) client.CFhz();
    const std::chrono::duration<double, std::micro> spent =
        std::chrono::steady_clock::now() - start;
    std::printf("average CFhz call: %.1f us over %d calls\n", spent.count() / calls, calls);
    client.CFmunload();
}

TEST(ProgressClientUnregistered, NamesTheRemedy) {
    if (registered()) GTEST_SKIP() << "runs without a registration";
    try {
        ProgressClient client;
        FAIL() << "no error without a registration";
    } catch (const ProgressServerError& e) {
        EXPECT_NE(std::string(e.what()).find("not registered"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("run pellorin --regserver"), std::string::npos);
    }
}

// Runs in a process of its own (see CMakeLists.txt): no other client may keep the server alive.
TEST(ProgressClientLifetime, ServerEndsWhenItsOnlyClientLeaves) {
    if (!registered()) GTEST_SKIP() << "runs with a registered server";
    const QString name = QStringLiteral("lone-client");
    uint pid = 0;
    {
        QDBusConnection lone = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
        // Created and then left alone, as Velmora does between start-up and its first job.
        ProgressClient client(lone);
        const QDBusReply<uint> reply =
            lone.interface()->servicePid(QStringLiteral("org.velmora.Pellorin"));
        ASSERT_TRUE(reply.isValid());
        pid = reply.value();
    }
    QDBusConnection::disconnectFromBus(name);
    // A generous bound only keeps a leaked server from hanging the run.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!processGone(pid) && std::chrono::steady_clock::now() < deadline) {
        QThread::msleep(20);
    }
    EXPECT_TRUE(processGone(pid)) << "pellorin " << pid << " outlived its only client";
}

// A main window closed and opened again at once: each client lives on a connection of its own,
// which goes when the client does, so the server it used is ending while the next one starts.
TEST(ProgressClientLifetime, CloseAndReopenAtOnceManyTimes) {
    if (!registered()) GTEST_SKIP() << "runs with a registered server";
    for (int n = 0; n < 40; ++n) {
        const QString name = QStringLiteral("reopen-%1").arg(n);
        {
            QDBusConnection connection =
                QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
            try {
                ProgressClient client(connection);
                client.CFmshow();
                EXPECT_EQ(client.CFhz(), 1) << "round " << n;
                client.CFmunload();
            } catch (const ProgressServerError& e) {
                ADD_FAILURE() << "round " << n << ": " << e.what();
            }
        }
        QDBusConnection::disconnectFromBus(name);
    }
}

// The bus of this run has no display in its environment (see with_session_bus.sh no-display).
bool busWithoutDisplay() {
    return qEnvironmentVariable("PELLORIN_BUS_MODE") == QStringLiteral("no-display");
}

TEST(ProgressClientDisplay, ServerWithoutADisplayEndsWithItsMessageNotACrash) {
    if (!busWithoutDisplay()) GTEST_SKIP() << "runs on a bus without a display";
    struct Case {
        const char* display;  // nullptr: not set at all
    };
    for (const Case c : {Case{nullptr}, Case{":4999"}}) {
        SCOPED_TRACE(c.display ? c.display : "unset");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            environment.remove(QString::fromLatin1(name));
        }
        if (c.display) environment.insert(QStringLiteral("DISPLAY"), c.display);
        QProcess server;
        server.setProcessEnvironment(environment);
        server.start(qEnvironmentVariable("PELLORIN_PROGRAM"), {});
        ASSERT_TRUE(server.waitForFinished(20000));
        EXPECT_EQ(server.exitStatus(), QProcess::NormalExit) << "pellorin crashed";
        EXPECT_EQ(server.exitCode(), PELLORIN_NO_DISPLAY_STATUS);
        const QString said = QString::fromLocal8Bit(server.readAllStandardError());
        EXPECT_TRUE(said.contains(QStringLiteral("pellorin: cannot open a window: no display")))
            << said.toStdString();
        EXPECT_TRUE(said.contains(QStringLiteral("dbus-update-activation-environment")));
    }
}

// Run before the next test, which hands a display to the bus for good.
TEST(ProgressClientDisplay, ClientWithoutADisplaySaysSo) {
    if (!busWithoutDisplay()) GTEST_SKIP() << "runs on a bus without a display";
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    try {
        ProgressClient client;
        FAIL() << "a server without a display was reported as started";
    } catch (const ProgressServerError& e) {
        EXPECT_NE(std::string(e.what()).find("cannot open its window: there is no display"),
                  std::string::npos)
            << e.what();
    }
}

TEST(ProgressClientDisplay, WindowOpensOnTheClientsDisplay) {
    if (!busWithoutDisplay()) GTEST_SKIP() << "runs on a bus without a display";
    const QString display = qEnvironmentVariable("TEST_CLIENT_DISPLAY");
    if (display.isEmpty()) GTEST_SKIP() << "Xvfb is not installed";
    qputenv("DISPLAY", display.toLocal8Bit());
    ProgressClient client;
    client.CFmshow();
    EXPECT_TRUE(hook("WindowShown"));
    EXPECT_EQ(client.CFhz(), 1);
    client.CFmunload();
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
