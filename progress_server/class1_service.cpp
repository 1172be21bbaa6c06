#include "class1_service.h"

#include <QDBusMessage>
#include <exception>

#include "client_watch.h"

namespace pellorin {

Class1Service::Class1Service(WindowReference& window, ClientWatch& watch, QObject* parent)
    : QObject(parent), class1_(window), watch_(watch) {}

template <typename F>
auto Class1Service::serve(F&& body) -> decltype(body()) {
    if (calledFromDBus()) watch_.seen(message().service());
    try {
        return body();
    } catch (const std::exception& e) {
        sendErrorReply(QStringLiteral("org.velmora.Vesk.Error.Failed"),
                       QString::fromUtf8(e.what()));
    } catch (...) {
        sendErrorReply(QStringLiteral("org.velmora.Vesk.Error.Failed"),
                       QStringLiteral("unknown failure"));
    }
    return decltype(body())();
}

void Class1Service::CFmshow() {
    serve([&] { class1_.CFmshow(); });
}

int Class1Service::CFhz() {
    return serve([&] { return static_cast<int>(class1_.CFhz()); });
}

QString Class1Service::Cwjm(const QString& i, const QString& j, QString& j_) {
    return serve([&] {
        QString inOutI = i;
        QString inOutJ = j;
        class1_.Cwjm(inOutI, inOutJ);
        j_ = inOutJ;
        return inOutI;
    });
}

int Class1Service::CpgbarV(int i) {
    return serve([&] {
        std::int32_t inOut = i;
        class1_.CpgbarV(inOut);
        return static_cast<int>(inOut);
    });
}

void Class1Service::CFmunload() {
    serve([&] { class1_.CFmunload(); });
}

}  // namespace pellorin
