#include "form1.h"

#include <QCloseEvent>

#include "twips.h"

namespace pellorin {

namespace {

void paintBackground(QLabel* label, QColor colour) {
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, colour);
    label->setPalette(palette);
}

}  // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent),
      Label1(new QLabel(this)),
      Label2(new QLabel(this)),
      Picture1(new QFrame(this)),
      Label3(new QLabel(Picture1)),
      JinDuTiao1(new JinDuTiao(this)),
      Command1(new QPushButton(this)),
      Timer1(new QTimer(this)) {
    setObjectName("Form1");
    Label1->setObjectName("Label1");
    Label2->setObjectName("Label2");
    Picture1->setObjectName("Picture1");
    Label3->setObjectName("Label3");
    JinDuTiao1->setObjectName("JinDuTiao1");
    Command1->setObjectName("Command1");
    Timer1->setObjectName("Timer1");

    setWindowTitle(QStringLiteral("Tiberane"));
    resize(twips::toPixels(5910), twips::toPixels(2055));

    twips::place(Label1, 0, 0, 5895, 375);
    twips::place(Label2, 0, 360, 5895, 375);
    twips::place(Picture1, 1440, 840, 2895, 615);
    twips::place(JinDuTiao1, 120, 1560, 4575, 375);
    twips::place(Command1, 4800, 1560, 975, 375);
    JinDuTiao1->UserControl_Resize();

    for (QLabel* line : {Label1, Label2}) {
        line->setTextFormat(Qt::PlainText);
        line->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    paintBackground(Label1, QColor(0, 255, 0));
    paintBackground(Label2, QColor(128, 128, 255));
    Picture1->setFrameShape(QFrame::Box);
    Label3->setTextFormat(Qt::PlainText);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    QWidget::setTabOrder(Label1, Label2);
    QWidget::setTabOrder(Label2, Command1);
    QWidget::setTabOrder(Command1, Picture1);
    QWidget::setTabOrder(Picture1, Label3);
    QWidget::setTabOrder(Label3, JinDuTiao1);

    Timer1->setInterval(150);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
}

void Form1::load() {
    if (loaded_) return;
    loaded_ = true;
    Form_Load();
    // The timer belongs to the loaded window; an unloaded object must cost nothing.
    Timer1->start();
}

void Form1::Form_Load() {
    Clfa = 1;
    Command1->setText(QStringLiteral("取消"));
    label3Width_ = twips::fromPixels(Picture1->width()) + 50;
    label3Height_ = kLabel3Height;
    label3Top_ = -25;
    label3Left_ = -5;
    placeLabel3();
    QString pattern;
    for (int line = 0; line < 23; ++line) {
        pattern += QStringLiteral("\r\n110100101001010101010101001001011");
    }
    Label3->setText(pattern);
    std::int32_t zero = 0;
    JinDuTiao1->JDThua(zero);
}

void Form1::placeLabel3() {
    twips::place(Label3, label3Left_, label3Top_, label3Width_, label3Height_);
}

void Form1::Timer1_Timer() {
    label3Top_ -= 100;
    if (700 - label3Height_ > label3Top_) label3Top_ = -25;
    placeLabel3();
}

void Form1::Command1_Click() {
    Clfa = 0;
    unload();
}

void Form1::closeEvent(QCloseEvent* event) {
    // The close box is the user's other way of cancelling the job.
    event->accept();
    Command1_Click();
}

void Form1::unload() {
    if (!loaded_ || unloading_) return;
    unloading_ = true;
    Form_Unload();
}

void Form1::Form_Unload() {
    Clfa = 0;
    Timer1->stop();
    hide();
    loaded_ = false;
    emit unloaded();
}

}  // namespace pellorin
