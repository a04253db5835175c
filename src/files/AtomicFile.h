#pragma once
// Files that appear whole or not at all.
//
// An AtomicFile writes into a new file of its own beside the target and puts it in the
// target's place only on commit(), after every byte has been written, flushed and synced.
// Until then, and after any failure, the target is exactly what it was.
//
// What is at the target is respected. A symbolic link is written through: the file it names
// is replaced, in that file's own folder, and the link stays (people link their settings in
// from a repository of their own). A link that names nothing yet makes that file, as a shell's
// ">" would. A link of another user's in a shared sticky folder such as /tmp is not followed,
// as the kernel does not follow it either. A file the user may not write, and anything that is
// not a regular file (a folder, a FIFO, a device, a socket), is refused and left as it is.
//
// The new file is locked from its creation until it is published or removed, so that a file
// of that name which no process holds is known to be a leftover of a killed run (Leftovers.h).

#include <QByteArray>
#include <QFile>
#include <QString>
#include <functional>
#include <memory>
#include <sys/types.h>

namespace files {

// The steps of a write, in order; a failure names the one that failed.
enum class Step { Create, Write, Sync, Close, Publish };

struct AtomicOptions {
    // Permissions of a new file: private unless asked otherwise, as what the program keeps for
    // itself must be; a file the user names and saves takes userFileMode(). A file that
    // replaces an existing regular file takes that file's permissions instead, so a file
    // someone made private or shared stays so.
    mode_t mode = 0600;
    // false: publish only under a name that is free; an existing file (or link) is never
    // replaced or followed, and commit() fails with EEXIST.
    bool replace = true;
    // false: the file is not flushed to the disk before it is put in place, nor its folder
    // after. Only for scratch files, read back and removed at once, whose loss in a crash
    // costs nothing: a crash may leave such a file empty or torn.
    bool sync = true;
    // false: the folder is not flushed after the rename; the caller flushes it later, once for
    // many files (syncFolderOf). A crash may then lose the new name, but what is at the name
    // is still whole: the file itself was flushed before the rename.
    bool syncFolder = true;
};

class AtomicFile {
public:
    explicit AtomicFile(QString target, AtomicOptions options = {});
    ~AtomicFile(); // a file not committed is removed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the new file beside the target (beside the file a link there names). False, with
    // the error set, when it cannot, or when the target may not be replaced.
    bool open();
    // Where the contents go; valid after a successful open().
    QIODevice* device();
    bool write(const QByteArray& bytes);
    // Flushes and syncs the new file, and closes it for writing: it is whole, under its own
    // name, until commit() or the end of this object. Done by commit() when not called before.
    bool finish();
    // Finishes the new file and puts it in the target's place.
    bool commit();
    // Removes the new file; the target stays as it was.
    void discard();

    int errorCode() const { return error; } // errno of the failed step, 0 if none
    Step failedStep() const { return step; }
    QString errorString() const; // "cannot write PATH: reason"
    const QString& target() const { return path; }
    // Where commit() puts the file: the target, or the file a link at the target names. Set by
    // open().
    const QString& destination() const { return destinationPath; }

    // For tests: called before each step; a non-zero result makes that step fail with that
    // errno, as a full disk or a failing device would.
    using FaultHook = std::function<int(Step, const QString& target)>;
    static void setFaultHook(FaultHook hook);

private:
    bool fail(Step failed, int code);

    bool lockNewFile();

    QString path;
    QString destinationPath;
    AtomicOptions options;
    QByteArray temporaryPath;
    int fd = -1;
    int lockFd = -1; // holds the new file's lock once it is finished, until it is published
    mode_t mode = 0600;
    QString refusal;             // why the target may not be replaced, when that failed the write
    std::unique_ptr<QFile> file; // only once device() is asked for
    bool finished = false;
    bool committed = false;
    int error = 0;
    Step step = Step::Create;
};

// The whole of `bytes` at `path`, or the old file untouched and a message in `why`.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* why,
                         AtomicOptions options = {});

// A copy of the file at `from` at `to`, made the same way. Copying a file onto itself
// leaves it as it is and succeeds.
bool copyFileAtomically(const QString& from, const QString& to, QString* why,
                        AtomicOptions options = {});

// Opens `file` and writes the bytes of the file at `from` into it, for the caller to finish or
// commit. False, with a message in `why` and the new file removed, when either fails.
bool writeCopy(const QString& from, AtomicFile& file, QString* why);

// Why a write may not replace what is at `target`, in a few words ("it is a FIFO, not a plain
// file"); empty when it may: nothing is there, or a regular file the user may write (also at
// the end of links). What AtomicFile refuses, for checks before any work is done.
QString whyNotReplaceable(const QString& target);

// The permissions of a new file the user names and saves: what the user's umask leaves of
// 0666, as every other program's new files get, so a file saved into a shared folder can be
// read there. Asked of the kernel at each call, without changing the umask (which would
// change it for files other threads create meanwhile).
mode_t userFileMode();

// Creates the folder `path` and whichever of its parents are missing, each new one with
// `mode` less the umask, as mkdir does: private by default, for the program's own folders; a
// folder the user names is made with 0777. True when the folder exists.
bool makeFolders(const QString& path, mode_t mode = 0700);

// Flushes the folder that holds `path`, so that a rename in it lasts through a crash.
void syncFolderOf(const QString& path);

} // namespace files
