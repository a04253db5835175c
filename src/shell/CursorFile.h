#pragma once
// Windows cursor files (.cur): the picture and the hotspot.

#include <QCursor>
#include <QString>

// Loads the first cursor of the file. Throws Failure when the file cannot be read or is not
// a cursor file.
QCursor loadCursorFile(const QString& path);
