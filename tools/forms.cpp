#include "forms.h"

#include "launcher.h"
#include "password_file_writer.h"
#include "readers.h"
#include "segment_windows.h"

namespace tools {

#define TOOLS_FORM(Class)                                        \
    velmora::common::DefaultInstance<Class>& Class##Form() {     \
        static velmora::common::DefaultInstance<Class> instance; \
        return instance;                                         \
    }

TOOLS_FORM(GongJu)
TOOLS_FORM(XieMiMaWenJian)
TOOLS_FORM(XieMiMaWJb)
TOOLS_FORM(DuMiMaWenJian)
TOOLS_FORM(XieUnicode)
TOOLS_FORM(DuUnicode)
TOOLS_FORM(WenJianTianJiaSuiJiDuan)
TOOLS_FORM(WenJianQuWei)

#undef TOOLS_FORM

}  // namespace tools
