#pragma once

#include "window_helpers.h"

// The default instances of the tools' windows, empty until a window is first opened and again
// after it is closed.
namespace tools {

class GongJu;
class XieMiMaWenJian;
class XieMiMaWJb;
class DuMiMaWenJian;
class XieUnicode;
class DuUnicode;
class WenJianTianJiaSuiJiDuan;
class WenJianQuWei;

velmora::common::DefaultInstance<GongJu>& GongJuForm();
velmora::common::DefaultInstance<XieMiMaWenJian>& XieMiMaWenJianForm();
velmora::common::DefaultInstance<XieMiMaWJb>& XieMiMaWJbForm();
velmora::common::DefaultInstance<DuMiMaWenJian>& DuMiMaWenJianForm();
velmora::common::DefaultInstance<XieUnicode>& XieUnicodeForm();
velmora::common::DefaultInstance<DuUnicode>& DuUnicodeForm();
velmora::common::DefaultInstance<WenJianTianJiaSuiJiDuan>& WenJianTianJiaSuiJiDuanForm();
velmora::common::DefaultInstance<WenJianQuWei>& WenJianQuWeiForm();

}  // namespace tools
