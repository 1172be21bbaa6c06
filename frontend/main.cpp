#include <QApplication>

#include "app_icon.h"
#include "message_boxes.h"
#include "program.h"
#include "texts.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    velmora::SetApplicationIcon();
    QApplication::setApplicationName(QString::fromUtf8(velmora::frontend::texts::kProgramTitle));
    velmora::common::QtMessageBoxes boxes(
        QString::fromUtf8(velmora::frontend::texts::kProgramTitle));
    velmora::common::SetMessageBoxes(&boxes);
    return velmora::frontend::RunProgram();
}
