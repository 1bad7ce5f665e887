// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recording/TakeRecovery.h"

#include "audio/RecordingBuffer.h"
#include "audio/TakeJournal.h"
#include "audio/WaveFileWriter.h"
#include "platform/capture/CaptureFormat.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/PrivateFolder.h"
#include "platform/system/AllBytes.h"
#include "platform/system/SystemErrorText.h"
#include "platform/system/UniqueFd.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessmar {
namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string Described(std::time_t started, std::int64_t bytes) {
    std::tm when{};
    localtime_r(&started, &when);
    const long long seconds = bytes / (kSampleRate * kFrameBytes);
    char text[96];
    std::snprintf(text, sizeof text,
                  "Eine Aufnahme vom %02d.%02d.%04d, %02d:%02d:%02d (%lld:%02lld min)",
                  when.tm_mday, when.tm_mon + 1, when.tm_year + 1900, when.tm_hour, when.tm_min,
                  when.tm_sec, seconds / 60, seconds % 60);
    return text;
}

// The journal's sound as a WAV file at target; 0, or why not.
int Copy(int fd, std::int64_t bytes, const std::string& target) {
    AtomicFile file(target);
    const auto header = WaveFileHeader(std::uint32_t(bytes), kSampleRate, true, true);
    if (!file.Open() || !file.Write(header.data(), header.size())) {
        return file.error();
    }
    std::vector<char> chunk(1 << 20);
    for (std::int64_t done = 0; done < bytes;) {
        const std::size_t want = std::size_t(std::min<std::int64_t>(bytes - done, chunk.size()));
        if (!ReadAllAt(fd, chunk.data(), want, kWaveHeaderBytes + done)) {
            return errno;
        }
        if (!file.Write(chunk.data(), want)) {
            return file.error();
        }
        done += std::int64_t(want);
    }
    return file.Commit() ? 0 : file.error();
}

// The journal itself becomes the WAV file at target, renamed: no second copy of the take
// on a disk that may be full. 0, or why not (EXDEV: the target is on another file system;
// EBADF: the journal may only be read).
int Move(const TakeJournal::File& journal, std::int64_t bytes, const std::string& target) {
    if ((::fcntl(journal.fd, F_GETFL) & O_ACCMODE) != O_RDWR) {
        return EBADF;
    }
    const auto header = WaveFileHeader(std::uint32_t(bytes), kSampleRate, true, true);
    if (::ftruncate(journal.fd, kWaveHeaderBytes + bytes) != 0 ||
        !WriteAllAt(journal.fd, header.data(), header.size(), 0)) {
        return errno;
    }
    AtomicFile file(target);
    return file.Adopt(journal.folder, journal.name, journal.fd) ? 0 : file.error();
}

// When the take began, as its journal's name says; a take can't begin after its journal was
// last written, so a name that says so (a damaged or planted file) gives way to that time.
std::time_t Began(std::time_t named, const struct stat& journal) {
    return named > 0 && named <= journal.st_mtime ? named : journal.st_mtime;
}

// The journal's name still names the file open at its descriptor: another start may have
// saved it and removed it between our listing and our lock.
bool StillThere(const TakeJournal::File& journal, const struct stat& open) {
    struct stat now {};
    return open.st_nlink > 0 &&
           ::fstatat(journal.folder, journal.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
           now.st_dev == open.st_dev && now.st_ino == open.st_ino;
}

} // namespace

std::string TakeRecovery::Recover(const TakeJournal::File& journal, std::time_t started,
                                  const std::vector<TakeSaver::FallbackFolder>& fallbacks) {
    const int fd = journal.fd;
    const std::string& path = journal.path;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return {};
    }
    started = Began(started, st);
    // Whole frames, as much as a WAV file can hold; what the last moment left half written
    // is dropped.
    std::int64_t bytes = std::max<std::int64_t>(0, st.st_size - kWaveHeaderBytes);
    bytes = std::min<std::int64_t>(bytes - bytes % kFrameBytes, RecordingBuffer::kMaxBytes);
    if (bytes == 0) {
        ::unlinkat(journal.folder, journal.name.c_str(), 0);
        return {};
    }
    std::tm when{};
    localtime_r(&started, &when);
    const std::string name = TakeSaver::FallbackName(when);
    int error = ENOENT;
    for (const TakeSaver::FallbackFolder& folder : fallbacks) {
        if (!TakeSaver::Usable(folder)) {
            continue;
        }
        for (int n = 1; n < 100; ++n) {
            const std::string target =
                folder.path + "/" +
                (n == 1 ? name
                        : name.substr(0, name.size() - 4) + "-" + std::to_string(n) + ".wav");
            std::error_code ec;
            if (std::filesystem::symlink_status(target, ec).type() !=
                std::filesystem::file_type::not_found) {
                continue;
            }
            error = Move(journal, bytes, target);
            if (error == EXDEV || error == EBADF) {
                error = Copy(fd, bytes, target);
                if (error == 0) {
                    ::unlinkat(journal.folder, journal.name.c_str(), 0);
                }
            }
            if (error == 0) {
                return Described(started, bytes) + " wurde unterbrochen; sie ist in " +
                       Quoted(target) + " gespeichert" + TakeSaver::TemporaryNote(folder);
            }
            if (error != EEXIST) {
                break;
            }
        }
    }
    return Described(started, bytes) + " wurde unterbrochen und konnte nicht gespeichert werden (" +
           SystemErrorText(error) + "); sie bleibt in " + Quoted(path) +
           " und wird beim nächsten Start wieder versucht";
}

std::vector<std::string>
TakeRecovery::RecoverAll(const std::vector<std::string>& journalFolders,
                         const std::vector<TakeSaver::FallbackFolder>& fallbacks) {
    std::vector<std::string> told;
    for (const std::string& folder : journalFolders) {
        // Only a folder of the user's alone: what others could put there is not the user's.
        // One of the user's own that others may enter is closed first, not passed over. Held
        // open from here on: every name below is looked up in the folder that was checked.
        std::error_code missing;
        if (!std::filesystem::exists(std::filesystem::symlink_status(folder, missing))) {
            continue;
        }
        const UniqueFd dir = PrivateFolder::Open(folder, true);
        const int listed = dir ? ::dup(dir.get()) : -1;
        DIR* const listing = listed < 0 ? nullptr : ::fdopendir(listed);
        if (!listing) {
            if (listed >= 0) {
                ::close(listed);
            }
            continue;
        }
        while (const dirent* entry = ::readdir(listing)) {
            const std::string name = entry->d_name;
            const auto started = TakeJournal::StartedOf(name);
            if (!started) {
                continue;
            }
            const std::string path = folder + "/" + name;
            // Written to only when it is renamed into place; one that may only be read is copied.
            const auto open = [&](int mode) {
                return UniqueFd(
                    ::openat(dir.get(), name.c_str(), mode | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
            };
            UniqueFd fd = open(O_RDWR);
            if (!fd && errno != ENOENT) { // read-only, immutable, a folder: copied if readable
                fd = open(O_RDONLY);
            }
            if (!fd) {
                if (errno != ENOENT) { // a take that can't be read is not passed over silently
                    told.push_back("Eine unterbrochene Aufnahme in " + Quoted(path) +
                                   " lässt sich nicht lesen (" + SystemErrorText(errno) +
                                   "); sie bleibt dort");
                }
                continue;
            }
            const TakeJournal::File journal{fd.get(), dir.get(), name, path};
            struct stat st {};
            if (::flock(fd.get(), LOCK_EX | LOCK_NB) == 0 && ::fstat(fd.get(), &st) == 0 &&
                S_ISREG(st.st_mode) && StillThere(journal, st)) {
                if (std::string text = Recover(journal, *started, fallbacks); !text.empty()) {
                    told.push_back(std::move(text));
                }
            }
        }
        ::closedir(listing);
    }
    return told;
}

} // namespace tessmar
