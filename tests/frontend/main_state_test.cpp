// The main window's key-source states and the password block's layout, without a window.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "main_state.h"

namespace velmora::frontend {
namespace {

MainState AfterStartUp(std::int32_t Fmaqra) {
    MainState s;
    s.Fmaa = "/keys/pw.lib";
    s.Fmab = "/keys/lock.bin";
    StartUpLayout(s);
    s.Fmaqra = Fmaqra;
    Fydb(s, 0);  // the settings applied at the end of start-up
    return s;
}

TEST(PasswordBlock, StartUpPositionsWithAndWithoutConfirmation) {
    struct Case {
        std::int32_t Fmaqra;
        bool text3;
        std::int32_t buttons;
    };
    for (const Case c : {Case{0, false, 2145}, Case{1, true, 2475}}) {
        const MainState s = AfterStartUp(c.Fmaqra);
        EXPECT_EQ(s.Layout.Text2Top, 1640);
        EXPECT_EQ(s.Layout.Label3Top, 1760);
        EXPECT_EQ(s.Layout.Text3Top, 2040);
        EXPECT_EQ(s.Layout.Text3Visible, c.text3) << "Fmaqra " << c.Fmaqra;
        EXPECT_EQ(s.Layout.Command4Top, c.buttons) << "Fmaqra " << c.Fmaqra;
        EXPECT_EQ(s.Layout.Command5Top, c.buttons);
        EXPECT_EQ(s.Fmqrt2v, 1);
    }
}

TEST(PasswordBlock, FydMovesTheWholeBlockAndBack) {
    MainState s = AfterStartUp(1);
    const PasswordBlock before = s.Layout;
    Fyd(s, 1);
    EXPECT_EQ(s.Layout.Text2Top, before.Text2Top + 400);
    EXPECT_EQ(s.Layout.Label3Top, before.Label3Top + 400);
    EXPECT_EQ(s.Layout.Text3Top, before.Text3Top + 400);
    EXPECT_EQ(s.Layout.Command4Top, before.Command4Top + 400);
    Fyd(s, 7);  // any p other than 1 moves up
    EXPECT_EQ(s.Layout.Text2Top, before.Text2Top);
    EXPECT_EQ(s.Layout.Command5Top, before.Command5Top);
}

// The key-source transition table: presses of Command7 ("7") and Command8 ("8") from typed
// password, with the state reached after each sequence.
TEST(KeySource, TransitionTable) {
    enum State { kTyped, kPasswordFile, kLockFile };
    struct Case {
        std::string presses;
        State state;
        std::string Amw;
    };
    const std::vector<Case> cases = {
        {"7", kPasswordFile, "/keys/pw.lib"},   {"8", kLockFile, "/keys/lock.bin"},
        {"77", kTyped, "/keys/pw.lib"},         {"88", kTyped, "/keys/lock.bin"},
        {"78", kLockFile, "/keys/lock.bin"},    {"87", kPasswordFile, "/keys/pw.lib"},
        {"787", kPasswordFile, "/keys/pw.lib"}, {"7887", kPasswordFile, "/keys/pw.lib"},
    };
    for (const Case& c : cases) {
        MainState s = AfterStartUp(1);
        for (char press : c.presses) {
            if (press == '7') {
                PressUsePasswordFile(s);
            } else {
                PressUseLockFile(s);
            }
        }
        SCOPED_TRACE("presses " + c.presses);
        EXPECT_EQ(s.Cmwa, c.state == kPasswordFile ? 1 : 0);
        EXPECT_EQ(s.Cmwb, c.state == kLockFile ? 1 : 0);
        EXPECT_EQ(s.Fmqrt2v, c.state == kTyped ? 1 : 0);
        EXPECT_EQ(s.Amw, c.Amw);
        const bool keyFile = c.state != kTyped;
        EXPECT_EQ(s.Layout.Command6Visible, keyFile);
        EXPECT_EQ(s.Layout.Label4Visible, keyFile);
        EXPECT_EQ(s.Layout.Text2Visible, !keyFile);
        EXPECT_EQ(s.Layout.Label3Visible, !keyFile);
        // Typing twice is asked only while the password is typed.
        EXPECT_EQ(s.Layout.Text3Visible, !keyFile);
        EXPECT_EQ(s.Layout.Command4Top, keyFile ? 2145 : 2475);
        if (keyFile) {
            EXPECT_EQ(s.Command6Caption, c.state == kPasswordFile ? "密码文件" : "锁文件");
        }
    }
}

TEST(KeySource, SettingsAppliedReturnToTypedPasswordAndKeepTheKeyFile) {
    MainState s = AfterStartUp(0);
    PressUseLockFile(s);
    s.Fmab = "/keys/other.bin";  // new presets take effect only at the next press
    Fydb(s, 0);
    EXPECT_EQ(s.Cmwa + s.Cmwb, 0);
    EXPECT_EQ(s.Fmqrt2v, 1);
    EXPECT_EQ(s.Amw, "/keys/lock.bin");
}

TEST(KeySource, KeyFileButtonTakesTheClickedFileEvenWhenNoneWasClicked) {
    MainState s = AfterStartUp(0);
    PressUsePasswordFile(s);
    PressKeyFile(s);
    EXPECT_EQ(s.Amw, "");
    EXPECT_EQ(s.Cmwa, 1) << "the mode does not change";
    s.Ba = "/data/key.bin";
    PressKeyFile(s);
    EXPECT_EQ(s.Amw, "/data/key.bin");
}

TEST(Lists, ModeSwitchAndChoices) {
    MainState s;
    s.B = "/data/";
    s.Ba = "/data/a.txt";
    s.Bb = "a.txt";
    ChooseTarget(s);
    EXPECT_EQ(s.Ac, 1);
    EXPECT_EQ(s.Amb, "/data/");
    SwitchMode(s);  // to folder mode: the folder shown is the source at once
    EXPECT_EQ(s.A, 1);
    EXPECT_EQ(s.Ab, 1);
    EXPECT_EQ(s.Yw, "/data/");
    SwitchMode(s);  // back: the source choice is dropped, the target stays
    EXPECT_EQ(s.A, 0);
    EXPECT_EQ(s.Ab, 0);
    EXPECT_EQ(s.Ac, 1);
    ChooseSource(s);
    EXPECT_EQ(s.Yw, "/data/a.txt");
    EXPECT_EQ(s.Ywb, "a.txt");
    EXPECT_EQ(s.Ab, 1);
}

}  // namespace
}  // namespace velmora::frontend
