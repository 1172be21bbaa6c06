#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

namespace pellorin {

// Decides when the server is no longer wanted, as a component server goes when its last
// reference is released: every caller's unique bus name is remembered, and once all of them
// have left the bus, `finished` is raised. It is raised too when the bus itself goes away, and
// when nobody calls at all within the first minute (an activation whose client died).
class ClientWatch : public QObject {
    Q_OBJECT

  public:
    explicit ClientWatch(QDBusConnection bus, QObject* parent = nullptr);

    void seen(const QString& uniqueName);

  signals:
    void finished(const QString& why);

  private:
    void left(const QString& uniqueName);

    QDBusConnection bus_;
    QDBusServiceWatcher watcher_;
    QSet<QString> clients_;
    QTimer busCheck_;
    QTimer firstCaller_;
};

}  // namespace pellorin
