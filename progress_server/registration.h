#pragma once

#include <QString>

namespace pellorin {

// Self-registration: the D-Bus activation file that lets the bus start this program when a
// client asks for its name.

// $XDG_DATA_HOME/dbus-1/services/<bus name>.service (XDG_DATA_HOME defaults to
// ~/.local/share).
QString serviceFilePath(const QString& busName);

// The file's text; the program path is quoted when the bus's parser would split it.
QString serviceFileText(const QString& busName, const QString& programPath);

// Both return an empty string on success, otherwise what went wrong.
QString registerServer(const QString& busName, const QString& programPath);
QString unregisterServer(const QString& busName);

}  // namespace pellorin
