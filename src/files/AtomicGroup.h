#pragma once
// Several files that appear together or not at all, such as the document, the PDF and the
// page pictures of one bill.
//
// Each member is an AtomicFile, written and finished (whole, under a name of its own beside
// its target) by the caller. publish() then puts them all in place. A member that cannot be
// put in place undoes the ones put before it: a new name is removed again, and a file that
// was replaced is put back as it was, so a failure never leaves the user with neither the
// old file nor the new one. Files the new set no longer has (the last pages of a longer
// document's pictures) go as part of the same publication, and come back when it fails.

#include "AtomicFile.h"

#include <QString>
#include <deque>
#include <mutex>
#include <vector>

namespace files {

class AtomicGroup {
public:
    explicit AtomicGroup(AtomicOptions options = {});
    ~AtomicGroup(); // members not published are removed
    AtomicGroup(const AtomicGroup&) = delete;
    AtomicGroup& operator=(const AtomicGroup&) = delete;

    // A new member for `target`, for the caller to open, write and finish. Safe to call from
    // several threads at once; the member lives as long as the group.
    AtomicFile& add(const QString& target);

    // `target` is to be gone once the group is published: an old file of the set that no
    // member replaces. Safe to call from several threads at once.
    void remove(const QString& target);

    // Puts every member in its target's place, in the order they were added, after each has
    // been finished. False when one cannot be: then every target is as it was before, and
    // failed() tells which member failed and why.
    bool publish();
    // The member that failed; nothing when it was a removal that failed.
    const AtomicFile* failed() const { return failure; }
    // Why publish() failed, naming the file.
    QString errorString() const;

private:
    AtomicOptions options;
    std::mutex lock;
    std::deque<AtomicFile> members; // a deque: a member stays where it is as others are added
    std::vector<QString> removals;
    const AtomicFile* failure = nullptr;
    QString removalFailure;
};

} // namespace files
