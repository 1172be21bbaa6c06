// Velmora's start-up, a folder job and shut-down against the real pellorin on a private
// session bus (run by with_session_bus.sh). The window runs on the offscreen platform; the
// user's cancel is pressed through pellorin's test switch.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDir>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <random>

#include "form1.h"
#include "forms.h"
#include "message_boxes.h"
#include "program.h"
#include "program_parts.h"
#include "progress_client.h"

namespace velmora::frontend {
namespace {

namespace fs = std::filesystem;

bool Hook(const char* name) {
    QDBusInterface hooks(QStringLiteral("org.velmora.Pellorin"), QStringLiteral("/TestHooks"),
                         QStringLiteral("org.velmora.Pellorin.TestHooks"));
    const QDBusReply<bool> reply = hooks.call(QString::fromLatin1(name));
    EXPECT_TRUE(reply.isValid()) << reply.error().message().toStdString();
    return reply.value();
}

bool Registered() {
    return qEnvironmentVariable("PELLORIN_EXPECT_UNREGISTERED").isEmpty();
}

// The real progress object, with the user pressing cancel in the progress window as soon as
// the first file's paths are shown there.
class CancelAtFirstFile : public engine::ProgressObject {
  public:
    explicit CancelAtFirstFile(std::unique_ptr<engine::ProgressObject> inner)
        : inner_(std::move(inner)) {}
    void CFmshow() override { inner_->CFmshow(); }
    std::int32_t CFhz() override { return inner_->CFhz(); }
    void Cwjm(std::u16string& i, std::u16string& j) override {
        inner_->Cwjm(i, j);
        if (files++ == 0) {
            windowShownDuringJob = Hook("WindowShown");
            Hook("ClickCancel");
        }
    }
    void CpgbarV(std::int32_t& i) override { inner_->CpgbarV(i); }
    void CFmunload() override { inner_->CFmunload(); }

    int files = 0;
    bool windowShownDuringJob = false;

  private:
    std::unique_ptr<engine::ProgressObject> inner_;
};

class EndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() / ("velmora-e2e-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_ / "run");
        oldCwd_ = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString((dir_ / "run").string()));
        common::SetMessageBoxes(&boxes_);
    }
    void TearDown() override {
        SetProgressFactory({});
        common::SetMessageBoxes(nullptr);
        QDir::setCurrent(oldCwd_);
        fs::remove_all(dir_);
    }
    void Make(const fs::path& name, std::size_t size) {
        fs::create_directories((dir_ / name).parent_path());
        std::ofstream(dir_ / name, std::ios::binary) << std::string(size, 'v');
    }

    fs::path dir_;
    QString oldCwd_;
    common::ScriptedMessageBoxes boxes_;
};

TEST_F(EndToEnd, StartUpFolderJobWithCancelAndShutDown) {
    if (!Registered()) GTEST_SKIP() << "runs with a registered server";
    Make("src/a.txt", 1024);
    Make("src/b.txt", 1024);
    Make("src/sub/c.txt", 1024);
    fs::create_directories(dir_ / "out");
    CancelAtFirstFile* spy = nullptr;
    SetProgressFactory([&spy] {
        auto wrapped = std::make_unique<CancelAtFirstFile>(std::make_unique<ProgressClient>());
        spy = wrapped.get();
        return std::unique_ptr<engine::ProgressObject>(std::move(wrapped));
    });

    bool ranJob = false;
    QTimer::singleShot(0, [&] {
        Form1* main = Form1Form().IfLoaded();
        ASSERT_NE(main, nullptr);
        // Start-up: the progress object exists (its server is on the bus) and both data files
        // are there, empty.
        EXPECT_NE(main->Aclss, nullptr);
        EXPECT_TRUE(QDBusConnection::sessionBus().interface()->isServiceRegistered(
            QStringLiteral("org.velmora.Pellorin")));
        EXPECT_EQ(fs::file_size(dir_ / "run/Shezhi.lib"), 0u);
        EXPECT_TRUE(fs::exists(dir_ / "run/ZGDcsh.lib"));

        main->Dir1->SetPath(QString::fromStdString((dir_ / "src").string()));
        main->Command1->click();  // folder mode: the folder shown is the source
        main->Dir1->SetPath(QString::fromStdString((dir_ / "out").string()));
        main->Command3->click();
        main->Text2->setText(QStringLiteral("e2e"));
        main->Command4->click();  // runs to its end, cancelled during the first file
        ranJob = true;

        EXPECT_TRUE(spy->windowShownDuringJob);
        EXPECT_EQ(spy->files, 1) << "the walk stops at its check after the cancelled file";
        EXPECT_TRUE(fs::exists(dir_ / "out/a.txt.jmw")) << "the partial target stays";
        EXPECT_FALSE(fs::exists(dir_ / "out/b.txt.jmw"));
        EXPECT_FALSE(fs::exists(dir_ / "out/sub")) << "no folder is created after a cancel";
        EXPECT_TRUE(main->isVisible());
        EXPECT_EQ(main->FycVisible, 0);
        EXPECT_FALSE(Hook("WindowShown"));
        EXPECT_TRUE(boxes_.texts.isEmpty()) << boxes_.texts.join("|").toStdString();
        main->close();  // the close box: shut-down, and the program ends
    });
    // A program that did not end would hang the test: end it after a generous while.
    QTimer::singleShot(30000, [] { QApplication::exit(2); });
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_TRUE(ranJob);
    EXPECT_FALSE(Form1Form().Loaded());
    EXPECT_EQ(fs::file_size(dir_ / "run/ZGDcsh.lib"), 160u);
    EXPECT_EQ(fs::file_size(dir_ / "run/Shezhi.lib"), 0u);
}

TEST_F(EndToEnd, UnregisteredServerStopsStartUpWithTheRemedy) {
    if (Registered()) GTEST_SKIP() << "runs without a registered server";
    const QDBusReply<QStringList> activatable =
        QDBusConnection::sessionBus().interface()->activatableServiceNames();
    if (activatable.value().contains(QStringLiteral("org.velmora.Pellorin"))) {
        GTEST_SKIP() << "pellorin is registered system-wide on this machine";
    }
    // A start-up that got through would wait for the user: leave the loop at once instead.
    QTimer::singleShot(0, [] { QApplication::exit(3); });
    EXPECT_EQ(RunProgram(), 1);
    ASSERT_EQ(boxes_.texts.size(), 1);
    EXPECT_TRUE(boxes_.texts[0].contains(QStringLiteral("pellorin --regserver")))
        << boxes_.texts[0].toStdString();
    EXPECT_FALSE(Form1Form().Loaded());
    EXPECT_FALSE(fs::exists(dir_ / "run/ZGDcsh.lib")) << "nothing else is set up";
}

}  // namespace
}  // namespace velmora::frontend
