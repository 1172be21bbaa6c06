#include "main_state.h"

#include "texts.h"

namespace velmora::frontend {

void T3v(MainState& s, std::int32_t p) {
    PasswordBlock& l = s.Layout;
    if (p == 1 && s.Fmaqra == 1 && s.Fmqrt2v == 1) {
        l.Text3Visible = true;
        l.Command4Top = l.Text3Top + l.Text3Height + 60;
    } else {
        l.Text3Visible = false;
        l.Command4Top = l.Text2Top + l.Text2Height + 130;
    }
    l.Command5Top = l.Command4Top;
}

void Fyd(MainState& s, std::int32_t p) {
    const std::int32_t step = p == 1 ? 400 : -400;
    PasswordBlock& l = s.Layout;
    l.Label3Top += step;
    l.Text2Top += step;
    l.Command4Top += step;
    l.Command5Top += step;
    l.Text3Top += step;
}

void Fydb(MainState& s, std::int32_t p) {
    PasswordBlock& l = s.Layout;
    const bool keyFile = p == 1;
    l.Command6Visible = keyFile;
    l.Label4Visible = keyFile;
    l.Label3Visible = !keyFile;
    l.Text2Visible = !keyFile;
    if (keyFile) {
        s.Fmqrt2v = 0;
        T3v(s, 0);
    } else {
        s.Fmqrt2v = 1;
        T3v(s, 1);
        s.Cmwa = 0;
        s.Cmwb = 0;
    }
}

void StartUpLayout(MainState& s) {
    PasswordBlock& l = s.Layout;
    l.Text3Top = l.Text2Top + 400;
    l.Text3Height = l.Text2Height;
    l.Command4Top = l.Text2Top + l.Text2Height + 130;
    l.Command5Top = l.Command4Top;
    s.Fmqrt2v = 1;
    Fyd(s, 0);
}

namespace {

// "用密码文件" and "用锁文件" mirror each other: each switches its own key file on or off and
// always switches the other one off.
void ToggleKeyFileSource(MainState& s, const char* caption, const std::string& preset,
                         std::int32_t& own, std::int32_t& other) {
    s.Command6Caption = caption;
    s.Amw = preset;
    other = 0;
    own = own != 0 ? 0 : 1;
    Fydb(s, own);
}

}  // namespace

void PressUsePasswordFile(MainState& s) {
    ToggleKeyFileSource(s, texts::kPasswordFile, s.Fmaa, s.Cmwa, s.Cmwb);
}

void PressUseLockFile(MainState& s) {
    ToggleKeyFileSource(s, texts::kLockFile, s.Fmab, s.Cmwb, s.Cmwa);
}

void PressKeyFile(MainState& s) {
    s.Amw = s.Ba;
}

void SwitchMode(MainState& s) {
    if (s.A == 1) {
        s.A = 0;
        s.Ab = 0;
    } else {
        s.A = 1;
        s.Yw = s.B;
        s.Ab = 1;
    }
}

void ChooseSource(MainState& s) {
    s.Ab = 1;
    if (s.A == 1) {
        s.Yw = s.B;
    } else {
        s.Yw = s.Ba;
        s.Ywb = s.Bb;
    }
}

void ChooseTarget(MainState& s) {
    s.Ac = 1;
    s.Amb = s.B;
}

}  // namespace velmora::frontend
