#pragma once
// A fresh temporary folder that TEMP names for the object's lifetime; TEMP is put back as it
// was afterwards, also when a test ends early on a failed assertion.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

class ScopedTemp {
public:
    ScopedTemp() : old(qgetenv("TEMP")), wasSet(qEnvironmentVariableIsSet("TEMP")) {
        qputenv("TEMP", QFile::encodeName(dir.path()));
    }
    ~ScopedTemp() {
        if (wasSet)
            qputenv("TEMP", old);
        else
            qunsetenv("TEMP");
    }
    ScopedTemp(const ScopedTemp&) = delete;
    ScopedTemp& operator=(const ScopedTemp&) = delete;

    bool isValid() const { return dir.isValid(); }
    QString path() const { return dir.path(); }
    QString filePath(const QString& name) const { return dir.filePath(name); }

private:
    QTemporaryDir dir;
    QByteArray old;
    bool wasSet;
};
