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

// The temporary folder: TEMP when it is set and not empty, used as it is. Otherwise
// privateTemporaryFolder(): never the shared temporary folder itself, where the bill would be
// readable by every local user and any of them could plant files under its names.
QString temporaryFolder();

// A folder of this user's own, made 0700 when missing: "vantorel" in XDG_RUNTIME_DIR when
// that names a private folder of this user's, otherwise "vantorel-UID" in the platform's
// temporary folder. Throws Failure, saying why, when it cannot be made or when what is at
// that name is not a folder that this user owns and only this user can open.
QString privateTemporaryFolder();
