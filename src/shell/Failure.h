#pragma once
// A failure of one of the program's own operations, carrying the description that the
// error report shows. Failures travel as exceptions up to the nearest trap; the engine's
// word::Error and the standard library's exceptions are reported the same way.

#include <QString>
#include <stdexcept>

class Failure : public std::runtime_error {
public:
    explicit Failure(const QString& description)
        : std::runtime_error(description.toUtf8().toStdString()) {}
    QString description() const { return QString::fromUtf8(what()); }
};
