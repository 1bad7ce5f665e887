#pragma once

#include <cstddef>
#include <string>

namespace tessmar {

// Replaces a file all at once: the new content goes to a temporary file beside the
// target, which takes the target's name only when Commit() succeeds. Until then, and
// after any failure, the target is untouched; the destructor removes a temporary file
// that was not committed.
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

    // errno (or kErrNotRegularFile) of the first failure, 0 while none occurred.
    int error() const { return error_; }

private:
    bool Fail(int error);
    void Discard();

    std::string target_;
    std::string temp_;
    int fd_ = -1;
    int error_ = 0;
};

} // namespace tessmar
