#pragma once

#include <QDBusContext>
#include <QObject>
#include <QString>

#include "class1.h"

namespace pellorin {

class ClientWatch;

// What the generated adaptor calls: the bus-shaped signatures of `_Class1` (each by-reference
// argument comes in and goes back out) mapped onto a Class1. It also tells the watch who is
// calling, and turns any failure into an error reply instead of letting it escape the loop.
class Class1Service : public QObject, protected QDBusContext {
    Q_OBJECT

  public:
    Class1Service(WindowReference& window, ClientWatch& watch, QObject* parent = nullptr);

    void CFmshow();
    int CFhz();
    QString Cwjm(const QString& i, const QString& j, QString& j_);
    int CpgbarV(int i);
    void CFmunload();

  private:
    template <typename F>
    auto serve(F&& body) -> decltype(body());

    Class1 class1_;
    ClientWatch& watch_;
};

}  // namespace pellorin
