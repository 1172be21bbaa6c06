#include <QApplication>
#include <QDir>
#include <QScrollBar>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "app_icon.h"
#include "bang_zhu.h"
#include "help_codec.h"
#include "help_messages.h"
#include "help_window.h"
#include "utf16le.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class HelpWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               (std::string("velmora-help-") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        oldCwd_ = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(dir_.string()));
    }
    void TearDown() override {
        UnloadHelp();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QDir::setCurrent(oldCwd_);
        fs::remove_all(dir_);
    }
    void WriteBytes(const std::vector<uint8_t>& bytes) {
        std::ofstream out(dir_ / "Help.lib", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    void WriteHelp(const QString& text) {
        help::HelpCodec codec;
        const std::u16string units(reinterpret_cast<const char16_t*>(text.utf16()),
                                   static_cast<size_t>(text.size()));
        WriteBytes(codec.BZJmi(common::Utf16LeBytes(units), help::SystemRandomBytes()));
    }
    QString HelpPath() const { return QString::fromStdString((dir_ / "Help.lib").string()); }
    BangZhu* Window() { return BangZhuForm().IfLoaded(); }

    fs::path dir_;
    QString oldCwd_;
};

TEST_F(HelpWindowTest, AskingTwiceShowsTheTextOnce) {
    const QString text = QStringLiteral("第一行 first line\n第二行 second line");
    WriteHelp(text);
    ShowHelp();
    ShowHelp();
    ASSERT_NE(Window(), nullptr);
    EXPECT_TRUE(Window()->isVisible());
    EXPECT_EQ(Window()->windowTitle(), QStringLiteral("帮助"));
    EXPECT_EQ(Window()->Text1->toPlainText(), text);
}

TEST_F(HelpWindowTest, EachRequestRereadsTheFile) {
    WriteHelp(QStringLiteral("old"));
    ShowHelp();
    WriteHelp(QStringLiteral("new"));
    ShowHelp();
    EXPECT_EQ(Window()->Text1->toPlainText(), QStringLiteral("new"));
}

TEST_F(HelpWindowTest, AnEmptyFileLeavesTheTextAsItWas) {
    WriteHelp(QStringLiteral("kept"));
    ShowHelp();
    WriteBytes({});
    ShowHelp();
    EXPECT_EQ(Window()->Text1->toPlainText(), QStringLiteral("kept"));

    // A newly loaded window stays empty.
    UnloadHelp();
    ShowHelp();
    EXPECT_EQ(Window()->Text1->toPlainText(), QString());
}

TEST_F(HelpWindowTest, AFileWithoutPayloadShowsAnEmptyText) {
    WriteHelp(QStringLiteral("replaced"));
    ShowHelp();
    WriteBytes({1, 2, 3});
    ShowHelp();
    EXPECT_EQ(Window()->Text1->toPlainText(), QString());
}

TEST_F(HelpWindowTest, AMissingFileGivesOneLineNamingItAndIsNotCreated) {
    ShowHelp();
    EXPECT_EQ(Window()->Text1->toPlainText(), help::MissingHelpFile(HelpPath()));
    EXPECT_FALSE(fs::exists(dir_ / "Help.lib"));
}

TEST_F(HelpWindowTest, AnUnreadableFileGivesOneLineNamingIt) {
    fs::create_directory(dir_ / "Help.lib");
    ShowHelp();
    EXPECT_EQ(Window()->Text1->toPlainText(), help::UnreadableHelpFile(HelpPath()));
}

// The menu launcher links the installed, read-only help file into the working folder.
TEST_F(HelpWindowTest, ALinkToAReadOnlyFileIsReadAndLeftAlone) {
    const QString text = QStringLiteral("installed");
    WriteHelp(text);
    fs::rename(dir_ / "Help.lib", dir_ / "installed.lib");
    fs::permissions(dir_ / "installed.lib",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const auto before = fs::last_write_time(dir_ / "installed.lib");
    fs::create_symlink(dir_ / "installed.lib", dir_ / "Help.lib");
    ShowHelp();
    EXPECT_EQ(Window()->Text1->toPlainText(), text);
    EXPECT_EQ(fs::last_write_time(dir_ / "installed.lib"), before);
}

TEST_F(HelpWindowTest, ResizingKeepsTheTextBoxInsideTheWindow) {
    WriteHelp(QString(QStringLiteral("帮助 help ")).repeated(2000));
    ShowHelp();
    BangZhu* window = Window();
    for (QSize size : {QSize(600, 500), QSize(300, 200), QSize(1000, 900), QSize(20, 20)}) {
        window->resize(size);
        QApplication::processEvents();
        const QRect box = window->Text1->geometry();
        EXPECT_TRUE(window->rect().contains(box) || box.isEmpty()) << size.width();
        EXPECT_EQ(box.left(), 8);
        EXPECT_EQ(box.top(), 0);
        // The outer size (frame included) less 350 and 500 twips, as long as that fits.
        const QSize outer = window->frameGeometry().size();
        if (size.width() > 100) {
            EXPECT_EQ(box.width(), (outer.width() * 15 - 350) / 15) << size.width();
            EXPECT_EQ(box.height(), (outer.height() * 15 - 500) / 15) << size.height();
        }
    }
    window->resize(600, 500);
    QApplication::processEvents();
    EXPECT_GT(window->Text1->verticalScrollBar()->maximum(), 0);
}

TEST_F(HelpWindowTest, TheWindowCarriesTheApplicationIcon) {
    SetApplicationIcon();
    ASSERT_FALSE(QApplication::windowIcon().pixmap(32, 32).isNull());
    ShowHelp();
    EXPECT_EQ(Window()->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
    QApplication::setWindowIcon(QIcon());
}

TEST_F(HelpWindowTest, UnloadingTwiceIsHarmless) {
    ShowHelp();
    UnloadHelp();
    EXPECT_FALSE(BangZhuForm().Loaded());
    UnloadHelp();
    EXPECT_FALSE(BangZhuForm().Loaded());
}

}  // namespace
}  // namespace velmora
