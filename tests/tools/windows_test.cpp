#include <QApplication>
#include <QDir>
#include <QTest>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "binary_file.h"
#include "forms.h"
#include "launcher.h"
#include "message_boxes.h"
#include "password_file_writer.h"
#include "readers.h"
#include "segment_windows.h"

namespace tools {
namespace {

namespace fs = std::filesystem;
using velmora::common::FileLength;
using velmora::common::ReadBlock;

class ToolWindowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               (std::string("velmora-toolwin-") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        old_cwd_ = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(dir_.string()));
        velmora::common::SetMessageBoxes(&boxes_);
        launcher_ = GongJuForm().Get();
        launcher_->show();
    }
    void TearDown() override {
        GongJuForm().Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        velmora::common::SetMessageBoxes(nullptr);
        QDir::setCurrent(old_cwd_);
        fs::remove_all(dir_);
    }
    void Make(const std::string& name, size_t size) {
        std::ofstream out(dir_ / name, std::ios::binary);
        for (size_t i = 0; i < size; ++i) out.put(static_cast<char>(i + 1));
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
    QString old_cwd_;
    velmora::common::ScriptedMessageBoxes boxes_;
    GongJu* launcher_ = nullptr;
};

TEST_F(ToolWindowsTest, SixthButtonIsHiddenButReachedWithTabAndSpace) {
    EXPECT_LT(launcher_->Command6->geometry().right(), 0);
    launcher_->Command1->setFocus();
    QWidget* focus = launcher_->Command1;
    for (int i = 0; i < 5; ++i) focus = focus->nextInFocusChain();
    EXPECT_EQ(focus, launcher_->Command6);
    QTest::keyClick(launcher_->Command6, Qt::Key_Space);
    ASSERT_TRUE(WenJianQuWeiForm().Loaded());
    EXPECT_TRUE(WenJianQuWeiForm().Get()->isVisible());
    EXPECT_FALSE(launcher_->isVisible());
}

TEST_F(ToolWindowsTest, WriterHidesAfterWritingAndComesBackWithItsContents) {
    launcher_->Command1->click();
    auto* editor = XieMiMaWenJianForm().Get();
    editor->Text1->setPlainText("49,50,51");
    editor->Command1->click();
    auto* picker = XieMiMaWJbForm().Get();
    picker->Command1->click();
    EXPECT_EQ(ReadBlock(Path("密码文件.lib"), 1, 3), (std::vector<uint8_t>{49, 50, 51}));
    EXPECT_FALSE(picker->isVisible());
    EXPECT_TRUE(launcher_->isVisible());
    launcher_->Command1->click();
    EXPECT_EQ(XieMiMaWenJianForm().Get(), editor);
    EXPECT_EQ(editor->Text1->toPlainText(), "49,50,51");

    // Second write: the question appears; Cancel leaves the file alone.
    editor->Text1->setPlainText("7");
    editor->Command1->click();
    boxes_.answers = {false};
    picker->Command1->click();
    EXPECT_EQ(boxes_.texts.last(), QStringLiteral("已经有一个同名的文件,是否继续?"));
    EXPECT_EQ(ReadBlock(Path("密码文件.lib"), 1, 1), (std::vector<uint8_t>{49}));
}

TEST_F(ToolWindowsTest, PickerRefusesSlashesAndStartsBelowOne) {
    launcher_->Command1->click();
    XieMiMaWenJianForm().Get()->Command1->click();
    auto* picker = XieMiMaWJbForm().Get();
    picker->Text2->setText("../escape");
    picker->Command1->click();
    picker->Text2->setText("ok.lib");
    picker->Text3->setText("0");
    picker->Command1->click();
    EXPECT_EQ(boxes_.texts.size(), 2);
    EXPECT_FALSE(fs::exists(dir_.parent_path() / "escape"));
    EXPECT_FALSE(fs::exists(dir_ / "ok.lib"));
    EXPECT_TRUE(picker->isVisible());
}

TEST_F(ToolWindowsTest, ReadLimitsGiveTheirMessages) {
    Make("f", 30000);
    launcher_->Command2->click();
    auto* bytes = DuMiMaWenJianForm().Get();
    bytes->File1->ClickFile("f");
    EXPECT_EQ(bytes->Text3->text(), "1000");
    bytes->Text3->setText("1001");
    bytes->Command1->click();
    EXPECT_EQ(boxes_.texts.value(0), QStringLiteral("每次读出长度不能超过1000Byte"));
    bytes->Text3->setText("1000");
    bytes->Command1->click();
    EXPECT_EQ(boxes_.texts.size(), 1);

    DuMiMaWenJianForm().Unload();
    launcher_->Command4->click();
    auto* text = DuUnicodeForm().Get();
    text->File1->ClickFile("f");
    EXPECT_EQ(text->Text4->text(), "20000");
    text->Text4->setText("20001");
    text->Command1->click();
    EXPECT_EQ(boxes_.texts.value(1), QStringLiteral("每次读出长度不能超过20000"));
}

TEST_F(ToolWindowsTest, ReadBeforeAnyClickIsANoticeNotACrash) {
    launcher_->Command2->click();
    DuMiMaWenJianForm().Get()->Command1->click();
    EXPECT_EQ(boxes_.texts.size(), 1);
    EXPECT_TRUE(DuMiMaWenJianForm().Get()->isVisible());
}

TEST_F(ToolWindowsTest, UnicodeWriterReplacesALongerFileOnlyWhenConfirmed) {
    Make("Unicode.txt", 10);
    launcher_->Command3->click();
    auto* writer = XieUnicodeForm().Get();
    writer->Text2->setText("ab");
    boxes_.answers = {false, true};
    writer->Command2->click();
    EXPECT_EQ(FileLength(Path("Unicode.txt")), 10);
    launcher_->Command3->click();
    writer->Command2->click();
    EXPECT_EQ(ReadBlock(Path("Unicode.txt"), 1, 4), (std::vector<uint8_t>{0x61, 0, 0x62, 0}));
    EXPECT_EQ(FileLength(Path("Unicode.txt")), 4);
}

TEST_F(ToolWindowsTest, CutToolChecksAsksAndShortensInPlace) {
    Make("f", 100);
    launcher_->Command6->click();
    auto* cut = WenJianQuWeiForm().Get();
    cut->File1->ClickFile("f");
    cut->Text2->setText("2.5");
    EXPECT_EQ(cut->Label2->text(), QStringLiteral("文件剩余的长度是 97.5字节"));
    for (const char* bad : {"100", "-5"}) {
        cut->Text2->setText(bad);
        cut->Command1->click();
        EXPECT_EQ(boxes_.texts.last(), QStringLiteral("设置错误,请重新设置。")) << bad;
    }
    cut->Text2->setText("30");
    boxes_.answers = {false};
    cut->Command1->click();
    EXPECT_EQ(FileLength(Path("f")), 100);
    cut->Command1->click();
    EXPECT_EQ(boxes_.texts.last(), QStringLiteral("操作完成。"));
    EXPECT_EQ(FileLength(Path("f")), 70);
    EXPECT_EQ(ReadBlock(Path("f"), 70, 1), (std::vector<uint8_t>{70}));
}

TEST_F(ToolWindowsTest, ClosingTheLauncherClosesHiddenWriters) {
    launcher_->Command3->click();
    XieUnicodeForm().Get()->Command2->click();
    ASSERT_TRUE(XieUnicodeForm().Loaded());
    launcher_->close();
    EXPECT_FALSE(XieUnicodeForm().Loaded());
    EXPECT_FALSE(GongJuForm().Loaded());
}

}  // namespace
}  // namespace tools

int main(int argc, char** argv) {
    // Test discovery runs the program outside CTest's environment, and CI has no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
