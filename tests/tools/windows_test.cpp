#include <QApplication>
#include <QDir>
#include <QStorageInfo>
#include <QTest>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "binary_file.h"
#include "chooser.h"
#include "forms.h"
#include "launcher.h"
#include "message_boxes.h"
#include "messages.h"
#include "password_file_writer.h"
#include "read_only_file.h"
#include "readers.h"
#include "segment_windows.h"

// Readable failures for the texts the windows show.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

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

TEST_F(ToolWindowsTest, ADriveChoiceOpensTheCurrentFolderOnItsOwnDriveAndTheRootElsewhere) {
    using velmora::common::FolderToOpenOnDrive;
    using velmora::common::NormaliseFolder;
    const QString cwd = QDir::currentPath();
    const QString own = NormaliseFolder(QStorageInfo(cwd).rootPath());
    EXPECT_EQ(FolderToOpenOnDrive(own), cwd);
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = NormaliseFolder(volume.rootPath());
        if (root == own) continue;
        // Given with or without its final "/", another drive opens at its root.
        EXPECT_EQ(FolderToOpenOnDrive(volume.rootPath()), root);
        return;
    }
    GTEST_SKIP() << "only one volume is mounted here";
}

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
    for (const char* name : {"../escape", ".."}) {
        picker->Text2->setText(name);
        picker->Command1->click();
    }
    picker->Text2->setText("ok.lib");
    picker->Text3->setText("0");
    picker->Command1->click();
    EXPECT_EQ(boxes_.texts, (QStringList{msg::BadFileName("../escape"), msg::BadFileName(".."),
                                         msg::StartBelowOne("0")}));
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

TEST_F(ToolWindowsTest, ReadBeforeAnyClickOrAfterTheFileWentIsANoticeNotACrash) {
    Make("ten.bin", 10);
    launcher_->Command2->click();
    auto* reader = DuMiMaWenJianForm().Get();
    reader->Command1->click();
    reader->File1->ClickFile("ten.bin");
    fs::remove(dir_ / "ten.bin");
    reader->Command1->click();
    EXPECT_EQ(boxes_.texts, (QStringList{msg::NoFileChosen(),
                                         msg::FileGone(QString::fromStdString(Path("ten.bin")))}));
    EXPECT_FALSE(fs::exists(dir_ / "ten.bin")) << "a reader must not create the file";
    EXPECT_TRUE(reader->isVisible());
}

TEST_F(ToolWindowsTest, ReadersReadAFileTheyCannotWrite) {
    Make("key", 4);
    if (!MakeReadOnly(Path("key"))) GTEST_SKIP() << "cannot make a read-only file here";
    launcher_->Command2->click();
    auto* bytes = DuMiMaWenJianForm().Get();
    bytes->File1->ClickFile("key");
    bytes->Command1->click();
    EXPECT_EQ(bytes->Text4->toPlainText(), " 1 1\n 2 2\n 3 3\n 4 4\n");
    DuMiMaWenJianForm().Unload();
    launcher_->Command4->click();
    auto* text = DuUnicodeForm().Get();
    text->File1->ClickFile("key");
    text->Command1->click();
    Writable(Path("key"));
    EXPECT_EQ(text->Text1Out->toPlainText(), QString(QChar(0x0201)) + QChar(0x0403));
    EXPECT_TRUE(boxes_.texts.isEmpty()) << boxes_.texts.join('|').toStdString();
}

TEST_F(ToolWindowsTest, TabLeavesTheMultiLineBoxes) {
    launcher_->Command1->click();
    auto* editor = XieMiMaWenJianForm().Get();
    QApplication::setActiveWindow(editor);
    editor->Text1->setFocus();
    editor->Text1->setPlainText("1,2");
    QTest::keyClick(editor->Text1, Qt::Key_Tab);
    EXPECT_EQ(editor->Text1->toPlainText(), "1,2");
    EXPECT_NE(QApplication::focusWidget(), editor->Text1);
}

TEST_F(ToolWindowsTest, WriterListsTheFileItJustWroteWhenItComesBack) {
    launcher_->Command3->click();
    auto* writer = XieUnicodeForm().Get();
    writer->Text3->setText("new.txt");
    writer->Command2->click();
    ASSERT_TRUE(fs::exists(dir_ / "new.txt"));
    launcher_->Command3->click();
    EXPECT_FALSE(writer->File1->findItems("new.txt", Qt::MatchExactly).isEmpty());
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

TEST_F(ToolWindowsTest, CutToolRefusesNumbersBeyondItsRangeWithItsOwnMessage) {
    Make("f", 100);
    launcher_->Command6->click();
    auto* cut = WenJianQuWeiForm().Get();
    cut->File1->ClickFile("f");
    cut->Text2->setText("1e400");
    EXPECT_EQ(cut->Label2->text(), msg::kBadSetting);
    cut->Command1->click();
    EXPECT_EQ(boxes_.texts, QStringList{msg::kBadSetting});
    EXPECT_EQ(FileLength(Path("f")), 100);
}

TEST_F(ToolWindowsTest, SecondCutAnnouncesAndCutsFromTheNewLength) {
    Make("f", 100);
    launcher_->Command6->click();
    auto* cut = WenJianQuWeiForm().Get();
    cut->File1->ClickFile("f");
    cut->Text2->setText("30");
    struct Step {
        int64_t length_after;
        const char* label1;
        const char* label2;
    };
    for (Step step :
         {Step{70, "文件长度为 70字节,你将从尾部截去的长度是", "文件剩余的长度是 40字节"},
          Step{40, "文件长度为 40字节,你将从尾部截去的长度是", "文件剩余的长度是 10字节"}}) {
        cut->Command1->click();
        EXPECT_EQ(FileLength(Path("f")), step.length_after);
        EXPECT_EQ(cut->Label1->text(), QString::fromUtf8(step.label1));
        EXPECT_EQ(cut->Label2->text(), QString::fromUtf8(step.label2));
    }
}

TEST_F(ToolWindowsTest, AppendWindowAnnouncesTheNewLengthAfterAnAppend) {
    Make("f", 10);
    launcher_->Command5->click();
    auto* append = WenJianTianJiaSuiJiDuanForm().Get();
    append->File1->ClickFile("f");
    append->Text2->setText("5");
    append->Command1->click();
    EXPECT_EQ(FileLength(Path("f")), 15);
    EXPECT_EQ(append->Label1->text(), AppendLabel(15));
    EXPECT_EQ(boxes_.texts, QStringList{msg::kDone});
}

// A file of 2 GiB (sparse, so it costs no disk) cannot be held in the windows' 32-bit lengths.
// Clicking it must leave the window on the earlier file, so the next operation touches only that.
TEST_F(ToolWindowsTest, RefusedBigFileLeavesTheWindowAsItWas) {
    Make("f", 10);
    { std::ofstream big(dir_ / "big", std::ios::binary); }
    fs::resize_file(dir_ / "big", uintmax_t{1} << 31);
    const QString big = QString::fromStdString(Path("big"));

    launcher_->Command5->click();
    auto* append = WenJianTianJiaSuiJiDuanForm().Get();
    append->File1->ClickFile("f");
    const QString label = append->Label1->text();
    append->File1->ClickFile("big");
    EXPECT_EQ(boxes_.texts, QStringList{msg::FileTooLarge(big)});
    EXPECT_EQ(append->Label1->text(), label);
    EXPECT_EQ(append->PathBox->text(), QString::fromStdString(Path("f")));
    EXPECT_EQ(append->File1->FileName(), "f");
    append->Text2->setText("5");
    append->Command1->click();
    EXPECT_EQ(FileLength(Path("f")), 15);
    WenJianTianJiaSuiJiDuanForm().Unload();

    launcher_->Command6->click();
    auto* cut = WenJianQuWeiForm().Get();
    cut->File1->ClickFile("f");
    cut->File1->ClickFile("big");
    cut->Text2->setText("3");
    cut->Command1->click();
    EXPECT_EQ(FileLength(Path("f")), 12);
    EXPECT_EQ(FileLength(Path("big")), int64_t{1} << 31);
}

// Closing the launcher unloads the tools while its own reference still holds, so each tool's
// unload shows it once more (and the program still ends).
TEST_F(ToolWindowsTest, ToolsUnloadedWithTheLauncherShowItWhileClosing) {
    launcher_->Command4->click();
    ASSERT_FALSE(launcher_->isVisible());
    struct ShowCount : QObject {
        int shows = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Show) ++shows;
            return false;
        }
    } count;
    launcher_->installEventFilter(&count);
    launcher_->close();
    EXPECT_EQ(count.shows, 1);
    EXPECT_FALSE(DuUnicodeForm().Loaded());
    EXPECT_FALSE(GongJuForm().Loaded());
    EXPECT_FALSE(launcher_->isVisible());
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
