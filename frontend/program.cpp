#include "program.h"

#include <QApplication>

#include "form1.h"
#include "forms.h"
#include "message_boxes.h"
#include "progress_client.h"
#include "texts.h"

namespace velmora::frontend {

int RunProgram() {
    std::string failure;
    try {
        Form1Form().Get()->show();
    } catch (const ProgressServerError& e) {
        failure = texts::ProgressServerUnavailable(e.what());
    } catch (const std::exception& e) {
        failure = texts::StartUpFailed(e.what());
    }
    if (!failure.empty()) {
        // Whatever start-up had set up goes again, the settings dialog with it.
        Form1Form().Unload();
        common::Messages().Notice(QString::fromStdString(failure));
        return 1;
    }
    return QApplication::exec();
}

}  // namespace velmora::frontend
