// Velmora's windows on the offscreen platform, with the message-box double and an in-process
// progress double, in a temporary current folder.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <filesystem>
#include <fstream>
#include <random>

#include "binary_file.h"
#include "form1.h"
#include "form2.h"
#include "forms.h"
#include "message_boxes.h"
#include "program.h"
#include "program_parts.h"
#include "progress_client.h"
#include "progress_double.h"
#include "settings_file.h"
#include "utf16le.h"

namespace velmora::frontend {
namespace {

namespace fs = std::filesystem;
using common::Twips;

// Settings words as the file holds them: options 1, 2, 5, 6; positions 3, 4.
std::vector<std::uint8_t> Header(std::array<std::int32_t, 10> words) {
    std::vector<std::uint8_t> bytes;
    for (std::int32_t w : words) {
        for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<std::uint8_t>(w >> (8 * k)));
    }
    return bytes;
}

class WindowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("velmora-win-" + std::to_string(rd()));
        fs::create_directories(dir_ / "out");
        oldCwd_ = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(dir_.string()));
        common::SetMessageBoxes(&boxes_);
        SetProgressFactory([this] {
            auto p = std::make_unique<ProgressDouble>();
            progress_ = p.get();
            return std::unique_ptr<engine::ProgressObject>(std::move(p));
        });
    }
    void TearDown() override {
        Form1Form().Unload();
        Form2Form().Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SetProgressFactory({});
        common::SetMessageBoxes(nullptr);
        QDir::setCurrent(oldCwd_);
        fs::remove_all(dir_);
    }

    Form1* Load() {
        main_ = Form1Form().Get();
        main_->show();
        return main_;
    }
    void Make(const std::string& name, std::size_t size) {
        std::ofstream out(dir_ / name, std::ios::binary);
        for (std::size_t i = 0; i < size; ++i) out.put(static_cast<char>(i * 7 + 1));
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    void WriteSettings(std::array<std::int32_t, 10> words, const std::u16string& t1 = {},
                       const std::u16string& t2 = {}) {
        common::WriteBlock(Path("Shezhi.lib"), 1, Header(words));
        auto field = [](const std::u16string& t) {
            auto b = common::Utf16LeBytes(t);
            b.resize(1000);
            return b;
        };
        common::WriteBlock(Path("Shezhi.lib"), 100, field(t1));
        common::WriteBlock(Path("Shezhi.lib"), 1100, field(t2));
    }
    // The user picks a file in the lists, then a source and the target folder "out".
    void ChooseFileAndOut(const std::string& name) {
        main_->File1->SetPath(QString::fromStdString(dir_.string()));
        main_->File1->ClickFile(QString::fromStdString(name));
        main_->Command2->click();
        main_->Dir1->SetPath(QString::fromStdString(Path("out")));
        main_->Command3->click();
        main_->Dir1->SetPath(QString::fromStdString(dir_.string()));
    }
    int Top(QWidget* w) const { return w->y(); }

    fs::path dir_;
    QString oldCwd_;
    common::ScriptedMessageBoxes boxes_;
    ProgressDouble* progress_ = nullptr;
    Form1* main_ = nullptr;
};

TEST_F(WindowsTest, StartUpCaptionsColoursAndFiles) {
    Load();
    EXPECT_EQ(main_->windowTitle(), "Velmora");
    const std::vector<std::pair<QWidget*, QString>> captions = {
        {main_->Command1, "单目标加密"}, {main_->Command2, "源文件"},
        {main_->Command3, "目标文件夹"}, {main_->Command4, "开始加密"},
        {main_->Command5, "开始解密"},   {main_->Command6, "密码文件"},
        {main_->Command7, "用密码文件"}, {main_->Command8, "用锁文件"},
    };
    for (const auto& [w, caption] : captions) {
        EXPECT_EQ(static_cast<QPushButton*>(w)->text(), caption) << w->objectName().toStdString();
    }
    EXPECT_EQ(main_->Label3->text(), "请输入密码:");
    EXPECT_EQ(main_->Label5->text(), "帮助");
    EXPECT_EQ(main_->Label6->text(), "设置");
    EXPECT_EQ(main_->Label1->palette().color(QPalette::Window), QColor(250, 220, 10));
    EXPECT_EQ(main_->Label2->palette().color(QPalette::Window), QColor(4, 140, 250));
    EXPECT_EQ(main_->Label4->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(main_->B, dir_.string() + "/");
    EXPECT_TRUE(main_->Text1->text().isEmpty()) << "empty until the lists are used";
    EXPECT_NE(main_->Aclss, nullptr);
    // No settings file: only the typed password, masked, typed once.
    EXPECT_FALSE(main_->Command7->isVisibleTo(main_));
    EXPECT_FALSE(main_->Command8->isVisibleTo(main_));
    EXPECT_TRUE(Masked(main_->Text2));
    EXPECT_FALSE(main_->Text3->isVisibleTo(main_));
    EXPECT_EQ(Top(main_->Text2), Twips(1640));
    EXPECT_EQ(Top(main_->Label3), Twips(1760));
    EXPECT_EQ(Top(main_->Command4), Twips(2145));
    EXPECT_EQ(fs::file_size(dir_ / "Shezhi.lib"), 0u);
    EXPECT_TRUE(fs::exists(dir_ / "ZGDcsh.lib"));
    EXPECT_TRUE(Form2Form().Loaded());
    EXPECT_FALSE(Form2Form().Get()->isVisible()) << "loaded hidden";

    Form1Form().Unload();
    EXPECT_EQ(fs::file_size(dir_ / "ZGDcsh.lib"), 160u);
    EXPECT_FALSE(Form2Form().Loaded());
    EXPECT_EQ(fs::file_size(dir_ / "Shezhi.lib"), 0u) << "shut-down never writes the settings";
}

TEST_F(WindowsTest, ModeSwitchCaptionsAndSource) {
    Load();
    main_->Command1->click();
    EXPECT_EQ(main_->Command1->text(), "成组加密");
    EXPECT_EQ(main_->Command2->text(), "源文件夹");
    EXPECT_EQ(main_->Command3->text(), "目标文件夹");
    EXPECT_EQ(main_->Label1->text().toStdString(), main_->B);
    EXPECT_EQ(main_->Ab, 1);
    main_->Command1->click();
    EXPECT_EQ(main_->Command1->text(), "单目标加密");
    EXPECT_EQ(main_->Command2->text(), "源文件");
    EXPECT_TRUE(main_->Label1->text().isEmpty());
    EXPECT_EQ(main_->Ab, 0);
}

TEST_F(WindowsTest, KeySourceButtonsShowTheirControls) {
    WriteSettings({1, 1, 100, 1100, 0, 1, 0, 0, 0, 0}, u"/keys/pw.lib", u"/keys/lock.bin");
    Load();
    main_->Command7->click();
    EXPECT_TRUE(main_->Command6->isVisibleTo(main_));
    EXPECT_EQ(main_->Command6->text(), "密码文件");
    EXPECT_EQ(main_->Label4->text(), "/keys/pw.lib");
    EXPECT_FALSE(main_->Text2->isVisibleTo(main_));
    EXPECT_FALSE(main_->Text3->isVisibleTo(main_)) << "no confirmation in key-file mode";
    main_->Command8->click();
    EXPECT_EQ(main_->Command6->text(), "锁文件");
    EXPECT_EQ(main_->Label4->text(), "/keys/lock.bin");
    EXPECT_EQ(main_->Cmwb, 1);
    main_->Command6->click();  // no file clicked since start
    EXPECT_EQ(main_->Amw, "");
    EXPECT_TRUE(main_->Label4->text().isEmpty());
    main_->Command8->click();
    EXPECT_EQ(main_->Fmqrt2v, 1);
    EXPECT_TRUE(main_->Text2->isVisibleTo(main_));
    EXPECT_TRUE(main_->Text3->isVisibleTo(main_));
    EXPECT_EQ(Top(main_->Command4), Twips(2475));
}

TEST_F(WindowsTest, ConfirmationMismatchShowsTheMessageAndClearsBothBoxes) {
    WriteSettings({0, 0, 100, 1100, 0, 1, 0, 0, 0, 0});
    Make("a.txt", 20);
    Load();
    ChooseFileAndOut("a.txt");
    main_->Text2->setText("one");
    main_->Text3->setText("two");
    main_->Command4->click();
    EXPECT_EQ(boxes_.texts, QStringList{"密码填写有误,请重新填写."});
    EXPECT_TRUE(main_->Text2->text().isEmpty());
    EXPECT_TRUE(main_->Text3->text().isEmpty());
    EXPECT_FALSE(fs::exists(dir_ / "out/a.txt.jmw"));
    main_->Text2->setText("same");
    main_->Text3->setText("same");
    main_->Command4->click();
    EXPECT_TRUE(fs::exists(dir_ / "out/a.txt.jmw"));
    EXPECT_EQ(main_->Text2->text(), "same") << "the boxes keep their text after a job";
}

// 300000 bytes run with the main window shown and no progress window; 300001 hide it.
TEST_F(WindowsTest, ThresholdHidesTheMainWindowOnlyAboveIt) {
    struct Case {
        const char* name;
        std::size_t size;
        bool progress;
    };
    Load();
    for (const Case c : {Case{"exact", 300000, false}, Case{"over", 300001, true}}) {
        SCOPED_TRACE(c.name);
        Make(c.name, c.size);
        ChooseFileAndOut(c.name);
        progress_->calls.clear();
        std::vector<bool> visibleDuringJob;
        progress_->observer = [&](const std::string& call) {
            if (call == "Cwjm") visibleDuringJob.push_back(main_->isVisible());
        };
        main_->Command4->click();
        EXPECT_EQ(progress_->Count("CFmshow"), c.progress ? 1 : 0);
        EXPECT_EQ(visibleDuringJob, c.progress ? std::vector<bool>{false} : std::vector<bool>{});
        EXPECT_EQ(progress_->calls.back(), "CFmunload");
        EXPECT_TRUE(main_->isVisible());
        EXPECT_EQ(main_->FycVisible, 0);
        EXPECT_EQ(main_->Label2->text().toStdString(), Path(std::string("out/") + c.name + ".jmw"));
        EXPECT_FALSE(main_->Text4->text().isEmpty());
        progress_->observer = nullptr;
    }
    EXPECT_TRUE(boxes_.texts.isEmpty());
}

TEST_F(WindowsTest, SettingsAppliedAtStartUp) {
    struct Case {
        const char* what;
        std::array<std::int32_t, 10> words;
        bool c7, c8, masked, text3;
    };
    const std::vector<Case> cases = {
        {"all on", {1, 1, 100, 1100, 1, 1, 0, 0, 0, 0}, true, true, false, true},
        {"grayed offers but neither unmasks nor asks twice",
         {2, 2, 100, 1100, 2, 2, 0, 0, 0, 0},
         true,
         true,
         true,
         false},
        {"damaged words read as 0",
         {7, -1, 100, 1100, 99, 3, 0, 0, 0, 0},
         false,
         false,
         true,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteSettings(c.words, u"/p", u"/l");
        Load();
        EXPECT_EQ(main_->Command7->isVisibleTo(main_), c.c7);
        EXPECT_EQ(main_->Command8->isVisibleTo(main_), c.c8);
        EXPECT_EQ(Masked(main_->Text2), c.masked);
        EXPECT_EQ(Masked(main_->Text3), c.masked);
        EXPECT_EQ(main_->Text3->isVisibleTo(main_), c.text3);
        EXPECT_EQ(Top(main_->Command4), Twips(c.text3 ? 2475 : 2145));
        EXPECT_EQ(Top(main_->Command5), Top(main_->Command4));
        EXPECT_EQ(main_->Fmaa, "/p");
        EXPECT_EQ(main_->Fmab, "/l");
        Form1Form().Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(WindowsTest, ClosingTheDialogAppliesWithoutSavingAndLeavesKeyFileMode) {
    WriteSettings({1, 0, 100, 1100, 0, 0, 0, 0, 0, 0}, u"/p");
    Load();
    main_->Command7->click();
    ASSERT_EQ(main_->Cmwa, 1);
    main_->Label6_Click();
    Form2* dialog = Form2Form().Get();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), "加密设置");
    dialog->Check3->click();
    dialog->Check4->click();
    dialog->close();  // the close box unloads it
    EXPECT_FALSE(Form2Form().Loaded());
    EXPECT_EQ(main_->Cmwa, 0);
    EXPECT_EQ(main_->Fmqrt2v, 1);
    EXPECT_FALSE(Masked(main_->Text2));
    EXPECT_TRUE(main_->Text3->isVisibleTo(main_));
    EXPECT_EQ(Top(main_->Command4), Twips(2475));
    // Not saved: a fresh dialog reads the file again and applies what it says on close.
    dialog = Form2Form().Get();
    EXPECT_EQ(dialog->Check4->checkState(), Qt::Unchecked);
    Form2Form().Unload();
    EXPECT_TRUE(Masked(main_->Text2));
    EXPECT_FALSE(main_->Text3->isVisibleTo(main_));
}

TEST_F(WindowsTest, ClosingTheMainWindowClosesAnOpenDialogWithoutSaving) {
    Load();
    main_->Label6_Click();
    Form2Form().Get()->Check1->click();
    main_->close();
    EXPECT_FALSE(Form1Form().Loaded());
    EXPECT_FALSE(Form2Form().Loaded());
    EXPECT_EQ(fs::file_size(dir_ / "Shezhi.lib"), 0u);
}

TEST_F(WindowsTest, SettingsFileBytes) {
    Load();
    Form2* dialog = Form2Form().Get();
    dialog->Command3->click();  // all clear, both paths empty
    std::vector<std::uint8_t> expected = Header({0, 0, 100, 1100, 0, 0, 0, 0, 0, 0});
    expected.resize(2099);
    EXPECT_EQ(common::FileLength(Path("Shezhi.lib")), 2099);
    EXPECT_EQ(common::ReadBlock(Path("Shezhi.lib"), 1, 2099), expected);

    // A header whose position words are 0 is read at 100 and 1100; a 500-character path
    // without a NUL reads back whole, trailing blanks removed; grayed values survive a save.
    const std::u16string longPath = u"/" + std::u16string(495, u'目') + u"a   ";
    WriteSettings({2, 0, 0, 0, 0, 2, 0, 0, 0, 0}, longPath, u"/lock");
    Form2Form().Unload();
    dialog = Form2Form().Get();
    EXPECT_EQ(dialog->Text1->text().toStdU16String(), longPath.substr(0, 497));
    EXPECT_EQ(dialog->Text2->text(), "/lock");
    EXPECT_EQ(common::CheckValue(dialog->Check1->checkState()), 2);
    EXPECT_EQ(common::CheckValue(dialog->Check4->checkState()), 2);
    dialog->Command3->click();
    const auto header = common::ReadBlock(Path("Shezhi.lib"), 1, 24);
    EXPECT_EQ(std::vector<std::uint8_t>(header.begin(), header.begin() + 24), [] {
        auto h = Header({2, 0, 100, 1100, 0, 2, 0, 0, 0, 0});
        h.resize(24);
        return h;
    }());
    Form2Form().Unload();
    EXPECT_EQ(Form2Form().Get()->Text1->text().toStdU16String(), longPath.substr(0, 497));
}

TEST_F(WindowsTest, DialogListsFeedOnlyFmbe) {
    Make("key.bin", 4);
    Load();
    main_->Label6_Click();
    Form2* dialog = Form2Form().Get();
    dialog->File1->ClickFile("key.bin");
    EXPECT_EQ(dialog->Fmbe, Path("key.bin"));
    EXPECT_TRUE(dialog->Text1->text().isEmpty()) << "nothing shows Fmbe until 确定";
    dialog->Command1->click();
    EXPECT_EQ(dialog->Text1->text().toStdString(), Path("key.bin"));
    dialog->Dir1->SetPath(QString::fromStdString(Path("out")));
    EXPECT_EQ(dialog->Fmbe, Path("out/"));
    dialog->Command2->click();
    EXPECT_EQ(dialog->Text2->text().toStdString(), Path("out/"));
}

// A job that shows the progress window unloads the hidden dialog, which applies the settings
// and so ends key-file mode; the job keeps the key it prepared before.
TEST_F(WindowsTest, ProgressJobUnloadsTheDialogAndKeepsItsKey) {
    WriteSettings({0, 1, 100, 1100, 0, 0, 0, 0, 0, 0}, u"", u"");
    Make("key.bin", 32);
    Make("big.bin", 400000);
    Load();
    main_->File1->SetPath(QString::fromStdString(dir_.string()));
    main_->File1->ClickFile("key.bin");
    main_->Command8->click();
    main_->Command6->click();
    ChooseFileAndOut("big.bin");
    ASSERT_TRUE(Form2Form().Loaded());
    main_->Command4->click();
    EXPECT_FALSE(Form2Form().Loaded());
    EXPECT_EQ(main_->Cmwb, 0) << "back in typed-password mode";
    EXPECT_TRUE(boxes_.texts.isEmpty()) << boxes_.texts.join("|").toStdString();

    // The file decrypts with the key file, not with the (empty) typed password.
    engine::Jmi jmi(engine::Jmi::TimerFn{}, dir_);
    const auto key = common::ReadBlock(Path("key.bin"), 1, 32);
    jmi.SetKeyFromBytes(key, 1);
    engine::JobContext job;
    jmi.DecryptFile(Path("out/big.bin.jmw"), Path("out/back.bin"), job);
    EXPECT_EQ(common::ReadBlock(Path("out/back.bin"), 1, 400000),
              common::ReadBlock(Path("big.bin"), 1, 400000));
}

TEST_F(WindowsTest, JobErrorGivesANoticeAndTheWindowBack) {
    Make("big.bin", 400000);
    Load();
    ChooseFileAndOut("big.bin");
    fs::remove_all(dir_ / "out");
    main_->Command4->click();
    ASSERT_EQ(boxes_.texts.size(), 1);
    EXPECT_TRUE(boxes_.texts[0].contains(QString::fromStdString(Path("out/"))));
    EXPECT_TRUE(main_->isVisible());
    EXPECT_EQ(main_->FycVisible, 0);
    EXPECT_FALSE(progress_->shown);
}

TEST_F(WindowsTest, UnreachableProgressServerStopsStartUpWithItsMessage) {
    SetProgressFactory([]() -> std::unique_ptr<engine::ProgressObject> {
        throw ProgressServerError(
            "The progress server is not registered; run pellorin --regserver");
    });
    EXPECT_EQ(RunProgram(), 1);
    ASSERT_EQ(boxes_.texts.size(), 1);
    EXPECT_TRUE(boxes_.texts[0].contains("pellorin --regserver"));
    EXPECT_FALSE(Form1Form().Loaded());
}

// A settings file that cannot be opened (here a folder of that name, which even root cannot
// open as a file) gives one notice per run and all options clear; the program starts.
TEST_F(WindowsTest, UnusableSettingsFileGivesOneNoticeAndDefaults) {
    fs::create_directories(dir_ / "Shezhi.lib");
    Load();
    ASSERT_EQ(boxes_.texts.size(), 1);
    EXPECT_TRUE(boxes_.texts[0].contains("Shezhi.lib"));
    EXPECT_FALSE(main_->Command7->isVisibleTo(main_));
    EXPECT_TRUE(Masked(main_->Text2));
    main_->Label6_Click();
    Form2Form().Unload();
    main_->Label6_Click();
    EXPECT_EQ(boxes_.texts.size(), 1) << "reported once";
}

TEST_F(WindowsTest, UnopenableNoiseStateStopsStartUp) {
    fs::create_directories(dir_ / "ZGDcsh.lib");
    EXPECT_EQ(RunProgram(), 1);
    ASSERT_EQ(boxes_.texts.size(), 1);
    EXPECT_TRUE(boxes_.texts[0].contains("ZGDcsh.lib"));
    EXPECT_FALSE(Form1Form().Loaded());
    EXPECT_FALSE(Form2Form().Loaded());
}

}  // namespace
}  // namespace velmora::frontend
