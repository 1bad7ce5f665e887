// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/PitchLog.h"

#include "analysis/NoteNaming.h"
#include "platform/files/OwnLinks.h"
#include "platform/system/DecimalText.h"
#include "platform/system/SystemErrorText.h"
#include "platform/system/UniqueFd.h"

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessmar {

namespace {

// The existing file at target, opened for replacing: a regular file that is empty or
// begins as our logs do.
UniqueFd OpenOurs(const std::string& target, std::string& error) {
    // Never waits: O_NONBLOCK opens a FIFO at once, and it is refused below.
    UniqueFd fd(::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    if (!fd || ::fstat(fd.get(), &st) != 0) {
        error = SystemErrorText(errno);
        return {};
    }
    if (!S_ISREG(st.st_mode)) {
        error = SystemErrorText(S_ISDIR(st.st_mode) ? EISDIR : kErrNotRegularFile);
        return {};
    }
    const std::string header = PitchLog::kHeader;
    std::string start(header.size(), '\0');
    const ssize_t got = ::pread(fd.get(), start.data(), start.size(), 0);
    if (st.st_size > 0 && (got != ssize_t(start.size()) || start != header)) {
        error = "es ist kein Protokoll von tessmar-pitch und wird nicht überschrieben";
        return {};
    }
    if (::ftruncate(fd.get(), 0) != 0 || ::fcntl(fd.get(), F_SETFL, 0) != 0) {
        error = SystemErrorText(errno);
        return {};
    }
    return fd;
}

} // namespace

std::unique_ptr<PitchLog> PitchLog::Open(const std::string& path, std::string& error) {
    std::string target = path;
    if (const int refused = ResolveOwnLinks(target); refused != 0) {
        error = SystemErrorText(refused);
        return nullptr;
    }
    const mode_t mode = SharedFolder(FolderOf(target)) ? 0600 : 0666;
    UniqueFd fd(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (!fd && errno == EEXIST) {
        fd = OpenOurs(target, error);
        if (!fd) {
            return nullptr;
        }
    } else if (!fd) {
        error = SystemErrorText(errno);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd.get(), "w");
    if (!file) {
        error = SystemErrorText(errno);
        return nullptr;
    }
    fd.release(); // the stream owns it now
    std::unique_ptr<PitchLog> log(new PitchLog(file));
    log->Check(std::fputs(kHeader, file) >= 0);
    return log;
}

void PitchLog::Check(bool ok) {
    if (!ok && error_ == 0) {
        error_ = errno != 0 ? errno : EIO;
    }
}

bool PitchLog::Finish(std::string& error) {
    Check(std::fflush(file_.get()) == 0 && !std::ferror(file_.get()));
    if (error_ != 0) {
        error = SystemErrorText(error_);
    }
    return error_ == 0;
}

std::string PitchLog::Row(const PitchUpdate& update) {
    double level = std::round(update.levelDbfs * 10.0) / 10.0;
    level = level == 0.0 ? 0.0 : level; // no "-0.0"
    std::string row = DecimalText(update.seconds, 3) + ',';
    if (update.hz > 0.0) {
        row += DecimalText(update.hz, 2) + ',' + NoteName(update.note) + ',' +
               DecimalText(update.cents, 1, true) + ',';
    } else {
        row += ",,,";
    }
    return row + DecimalText(level, 1) + '\n';
}

void PitchLog::Write(const PitchUpdate& update) {
    Check(std::fputs(Row(update).c_str(), file_.get()) >= 0);
    if (update.seconds - flushedAt_ >= 1.0 || update.seconds < flushedAt_) {
        Check(std::fflush(file_.get()) == 0);
        flushedAt_ = update.seconds;
    }
}

} // namespace tessmar
