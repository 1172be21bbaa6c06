#include <QApplication>

#include "app_icon.h"
#include "forms.h"
#include "launcher.h"
#include "message_boxes.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    velmora::SetApplicationIcon();
    velmora::common::QtMessageBoxes boxes(QStringLiteral("Tools"));
    velmora::common::SetMessageBoxes(&boxes);
    tools::GongJuForm().Get()->show();
    return app.exec();
}
