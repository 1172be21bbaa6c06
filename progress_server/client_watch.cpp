#include "client_watch.h"

#include <QDBusConnectionInterface>

namespace pellorin {

ClientWatch::ClientWatch(QDBusConnection bus, QObject* parent)
    : QObject(parent),
      bus_(bus),
      watcher_(QString(), bus, QDBusServiceWatcher::WatchForUnregistration) {
    connect(&watcher_, &QDBusServiceWatcher::serviceUnregistered, this, &ClientWatch::left);

    // Qt reports a lost bus only through the connection's state; a once-a-second look costs
    // nothing next to the animation.
    busCheck_.setInterval(1000);
    connect(&busCheck_, &QTimer::timeout, this, [this] {
        if (!bus_.isConnected()) emit finished(QStringLiteral("the session bus went away"));
    });
    busCheck_.start();

    firstCaller_.setSingleShot(true);
    firstCaller_.setInterval(60'000);
    connect(&firstCaller_, &QTimer::timeout, this,
            [this] { emit finished(QStringLiteral("no client called")); });
    firstCaller_.start();
}

void ClientWatch::seen(const QString& uniqueName) {
    firstCaller_.stop();
    if (uniqueName.isEmpty() || clients_.contains(uniqueName)) return;
    clients_.insert(uniqueName);
    watcher_.addWatchedService(uniqueName);
    // The client may have gone between sending the call and our watching it.
    if (!bus_.interface()->isServiceRegistered(uniqueName)) left(uniqueName);
}

void ClientWatch::left(const QString& uniqueName) {
    if (!clients_.remove(uniqueName)) return;
    watcher_.removeWatchedService(uniqueName);
    if (clients_.isEmpty()) emit finished(QStringLiteral("the last client has gone"));
}

}  // namespace pellorin
