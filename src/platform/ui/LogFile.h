#pragma once

#include <QString>
#include <QtGlobal>

// Sends every Qt log message on to the handler that was in place (stderr by default) and
// those of the categories whose names start with `categoryPrefix` also to the file `path`,
// one time-stamped line each. A line that would take the file past `maxBytes` first turns it
// into "<path>.1" (replacing the older one), so the two never hold much more than twice that.
// A later call points the file elsewhere; the handler is installed once.
void InstallLogFile(const QString& path, const QString& categoryPrefix, qint64 maxBytes);
