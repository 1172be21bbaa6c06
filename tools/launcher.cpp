#include "launcher.h"

#include <QApplication>
#include <QHideEvent>
#include <QShowEvent>
#include <QWindow>
#include <algorithm>

#include "forms.h"
#include "fsmdcl.h"
#include "password_file_writer.h"
#include "readers.h"
#include "segment_windows.h"
#include "tool_window.h"

namespace tools {

using velmora::common::PlaceTwips;

void ShowLauncher() {
    if (GongJuForm().Loaded()) GongJuForm().Get()->show();
}

QIcon LauncherIcon() {
    return GongJuForm().Loaded() ? GongJuForm().Get()->windowIcon() : QIcon();
}

GongJu::GongJu() {
    setWindowTitle(QStringLiteral("工具"));
    setFont(QFont(QStringLiteral("宋体"), 12));
    setWindowIcon(QApplication::windowIcon());
    auto make = [this](const char* name, const QString& caption, int row) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        PlaceTwips(b, 240, 240 + row * 660, 4200, 540);
        return b;
    };
    Command2 = make("Command2", QStringLiteral("读密码文件"), 0);
    Command1 = make("Command1", QStringLiteral("写密码文件"), 1);
    Command3 = make("Command3", QStringLiteral("将字符串转为Unicode文件"), 2);
    Command4 = make("Command4", QStringLiteral("读Unicode文件中的字符串"), 3);
    Command5 = make("Command5", QStringLiteral("给文件增加一段随机数段"), 4);
    Command6 = make("Command6", QStringLiteral("截去文件尾部的随机数段"), 5);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);
    setTabOrder(Command3, Command4);
    setTabOrder(Command4, Command5);
    setTabOrder(Command5, Command6);
    setFixedSize(velmora::common::Twips(4680), velmora::common::Twips(240 + 5 * 660 + 120));
    auto hook = [this](QPushButton* b, void (GongJu::*handler)()) {
        ConnectClick(b, this, [this, handler] { (this->*handler)(); });
    };
    hook(Command1, &GongJu::Command1_Click);
    hook(Command2, &GongJu::Command2_Click);
    hook(Command3, &GongJu::Command3_Click);
    hook(Command4, &GongJu::Command4_Click);
    hook(Command5, &GongJu::Command5_Click);
    hook(Command6, &GongJu::Command6_Click);
}

void GongJu::Form_Load() {
    // Out of sight, yet still in the tab order. Our buttons are wider than 3000 twips, so the
    // left edge goes at least a button's width out to keep it wholly outside.
    Command6->move(-std::max(velmora::common::Twips(3000), Command6->width()), Command6->y());
    CreateFso();
}

void GongJu::hideEvent(QHideEvent* event) {
    FormWindow::hideEvent(event);
    if (event->spontaneous()) return;
    place_ = geometry().topLeft();
    placed_ = true;
}

void GongJu::showEvent(QShowEvent* event) {
    if (placed_ && !event->spontaneous()) {
        if (windowHandle()) {
            windowHandle()->setPosition(place_);
        } else {
            move(place_);
        }
    }
    FormWindow::showEvent(event);
}

void GongJu::Command1_Click() {
    XieMiMaWenJianForm().Get()->show();
    hide();
}

void GongJu::Command2_Click() {
    DuMiMaWenJianForm().Get()->show();
    hide();
}

void GongJu::Command3_Click() {
    hide();
    XieUnicodeForm().Get()->show();
}

void GongJu::Command4_Click() {
    hide();
    DuUnicodeForm().Get()->show();
}

void GongJu::Command5_Click() {
    hide();
    WenJianTianJiaSuiJiDuanForm().Get()->show();
}

void GongJu::Command6_Click() {
    hide();
    WenJianQuWeiForm().Get()->show();
}

void GongJu::Form_Unload() {
    WenJianQuWeiForm().Unload();
    WenJianTianJiaSuiJiDuanForm().Unload();
    DuUnicodeForm().Unload();
    XieMiMaWenJianForm().Unload();
    DuMiMaWenJianForm().Unload();
    XieUnicodeForm().Unload();
    XieMiMaWJbForm().Unload();  // a picker left open on its own
}

}  // namespace tools
