#include "help_window.h"

#include "bang_zhu.h"

namespace velmora {

common::DefaultInstance<BangZhu>& BangZhuForm() {
    static common::DefaultInstance<BangZhu> instance;
    return instance;
}

void ShowHelp() {
    BangZhu* window = BangZhuForm().Get();
    window->show();
    window->raise();
    window->activateWindow();
    window->FmeJiekou();
}

void UnloadHelp() {
    BangZhuForm().Unload();
}

}  // namespace velmora
