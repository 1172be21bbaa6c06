#include "program.h"

#include <QApplication>

#include "form1.h"
#include "forms.h"
#include "message_boxes.h"
#include "progress_client.h"
#include "texts.h"

namespace velmora::frontend {

int RunProgram() {
    try {
        Form1Form().Get()->show();
    } catch (const ProgressServerError& e) {
        common::Messages().Notice(
            QString::fromStdString(texts::ProgressServerUnavailable(e.what())));
        return 1;
    } catch (const std::exception& e) {
        common::Messages().Notice(
            QString::fromStdString(texts::ProgressServerUnavailable(e.what())));
        return 1;
    }
    return QApplication::exec();
}

}  // namespace velmora::frontend
