#pragma once
// The folder of this user's own where the program keeps what no one else may see or plant:
// the documents it makes when TEMP is not set, and the files by which running engines find
// each other. "vantorel" in XDG_RUNTIME_DIR when that names a private folder of this user's,
// otherwise "vantorel-UID" in the platform's temporary folder; made 0700 when missing.
//
// Worked out here rather than asked of QStandardPaths, which warns on standard error each
// time XDG_RUNTIME_DIR is unset, as it is under cron and in many batch jobs.

#include <QString>

namespace files {

struct PrivateFolder {
    enum class Problem {
        None,       // the folder is there, this user's own, and only this user can open it
        CannotMake, // it is missing and cannot be made
        NotPrivate, // something else is at its name: a link, a file, another user's folder,
                    // or a folder others can open; it is left as it is
    };
    QString path; // the folder's name, set whatever the problem
    Problem problem = Problem::None;
    QString why; // the reason, in a few words, when there is a problem
};

PrivateFolder privateFolder();

} // namespace files
