#include "class1.h"

namespace pellorin {

Form1& Class1::loadedWindow() {
    Form1& form = window_.get();
    form.load();
    return form;
}

void Class1::CFmshow() {
    Form1& form = loadedWindow();
    form.show();
    form.raise();
}

std::int32_t Class1::CFhz() {
    return window_.get().Clfa;
}

void Class1::Cwjm(QString& i, QString& j) {
    Form1& form = loadedWindow();
    form.Label1->setText(i);
    form.Label2->setText(j);
}

void Class1::CpgbarV(std::int32_t& i) {
    if (i < 0) i = 0;
    if (i > 100) i = 100;
    loadedWindow().JinDuTiao1->JDThua(i);
}

void Class1::CFmunload() {
    window_.get().unload();
}

}  // namespace pellorin
