#pragma once
// The failure of an engine layer below the automation interface: a package that cannot be
// read or written, a document with more pages than the engine draws. what() is the
// description the user is shown, in Word's manner and UTF-8 encoded; the automation layer
// hands it on unchanged as a word::Error, and the program's own callers catch it as the
// std::exception it is.

#include <QString>
#include <stdexcept>

namespace wordengine {

class EngineError : public std::runtime_error {
public:
    explicit EngineError(const QString& description)
        : std::runtime_error(description.toUtf8().toStdString()) {}
    QString description() const { return QString::fromUtf8(what()); }
};

} // namespace wordengine
