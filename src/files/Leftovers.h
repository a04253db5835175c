#pragma once
// What a killed run leaves behind: the new files of writes it never finished, and files the
// program keeps for itself while it runs (the temporary document, its page picture).
//
// Each such file is locked by the process that made it for as long as that process wants it
// (see FileHold), so a file of ours that no process holds is a leftover. Only a file that is
// ours in every way goes: a name of ours, a regular file, this user's, held by no one.
// Anything else at such a name, and every other file, stays.

#include <QString>
#include <functional>

namespace files {

// Whether `name` is one that AtomicFile gives its new files: ".vantorel-", 16 hex digits,
// ".tmp".
bool isNewFileName(const QString& name);

// Removes the leftovers in `folder` whose names are AtomicFile's, or of the names
// `alsoOurs` accepts. Returns how many went. A folder that cannot be read is left alone.
using NameTest = std::function<bool(const QString& name)>;
int removeLeftovers(const QString& folder, const NameTest& alsoOurs = {});

// removeLeftovers(folder), the first time this process asks about that folder; AtomicFile
// asks before each write, so a folder is cleaned at the first write into it.
void removeLeftoversOnce(const QString& folder);

} // namespace files
