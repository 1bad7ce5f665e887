// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

struct stat;

namespace tessmar {

// Replaces a file all at once: the new content goes to a temporary file beside the
// target, which takes the target's name only when Commit() succeeds. Until then, and
// after any failure, the target is untouched; the destructor removes a temporary file
// that was not committed.
//
// Nothing is ever written through another user's link: a symbolic link at the target is
// followed only when the process's own user owns it (a dotfile manager's link), like the
// kernel's protected-symlinks rule; another user's link is refused (kErrForeignLink). The
// temporary file is created exclusively under a short random name, so any name the file
// system accepts works and no one can plant anything at it. A target that did not exist
// when it was opened is created exclusively as well: Commit() fails with EEXIST rather
// than replace whatever appeared at the name meanwhile. Created in a folder that others
// may write or own, the file is the user's alone (mode 0600).
class AtomicFile {
public:
    explicit AtomicFile(std::string target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file. A target that exists but is not a regular file
    // (a folder: EISDIR, a device: kErrNotRegularFile), or that the caller can't open for
    // writing, is refused.
    bool Open();
    bool Write(const void* data, std::size_t size);
    // Flushes to disk, closes and renames over the target.
    bool Commit();

    // Instead of Open, Write and Commit: the finished file open at fd, named name in the
    // folder open at folder, takes the target's place by a rename, so that no more space is
    // needed (a full disk), under the same rules. EXDEV where the two are on different file
    // systems; it then stays where it was.
    bool Adopt(int folder, const std::string& name, int fd);

    // errno (or kErrNotRegularFile, kErrForeignLink) of the first failure, 0 while none.
    int error() const { return error_; }

    // Removes from folder the user's own temporary files that a killed program left there,
    // untouched for longer than a save takes; how many went.
    static int RemoveLeftovers(const std::string& folder);
    static constexpr long kLeftoverSeconds = 3600;

private:
    bool CheckTarget(struct stat& existing);
    static void TakeOver(int fd, const struct stat& existing);
    bool Fail(int error);
    void Discard();
    bool Publish(int folder, const char* name);

    std::string target_;
    std::string temp_;
    int fd_ = -1;
    int error_ = 0;
    bool replaces_ = false; // the target existed at Open
};

} // namespace tessmar
