#pragma once
// File-system helpers shared by every part of the program.

#include <QString>

// True when the file system can report the last-modification time of whatever is at
// `path`. Never fails: any problem (empty or malformed path, missing folder, no access)
// answers false.
bool FileExists(const QString& path);

// The folder that holds the program's executable, without a trailing separator
// (empty for the root folder, so that programFolder() + "/NAME" is always right).
QString programFolder();

// `name` in the program folder: programFolder() + "/" + name.
QString inProgramFolder(const QString& name);

// The temporary folder: TEMP when it is set and not empty, otherwise the platform's.
QString temporaryFolder();
