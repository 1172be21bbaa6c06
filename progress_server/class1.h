#pragma once

#include <QString>
#include <cstdint>

#include "window_reference.h"

namespace pellorin {

// The creatable class: five methods that all act on the one shared progress window. A Class1
// holds nothing of its own, so any number of them may share one WindowReference.
class Class1 {
  public:
    explicit Class1(WindowReference& window) : window_(window) {}

    void CFmshow();
    std::int32_t CFhz();
    void Cwjm(QString& i, QString& j);
    void CpgbarV(std::int32_t& i);
    void CFmunload();

  private:
    Form1& loadedWindow();

    WindowReference& window_;
};

}  // namespace pellorin
