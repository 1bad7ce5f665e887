// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/exercise/ScoreFile.h"

#include "analysis/NoteNaming.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/OwnLinks.h"
#include "platform/system/DecimalText.h"
#include "platform/system/SystemErrorText.h"
#include "platform/system/UniqueFd.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessmar {
namespace {

// Whatever is at target may be replaced: nothing, or a regular file that is empty or
// begins as our files of that kind do (with header; `kind` names them in the refusal).
bool MayReplace(const std::string& target, const std::string& header, const char* kind,
                std::string& error) {
    UniqueFd fd(::open(target.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd) {
        if (errno == ENOENT) {
            return true;
        }
        error = SystemErrorText(errno == ELOOP ? kErrForeignLink : errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        error = SystemErrorText(S_ISDIR(st.st_mode) ? EISDIR : kErrNotRegularFile);
        return false;
    }
    std::string start(header.size(), '\0');
    if (st.st_size > 0 &&
        (::pread(fd.get(), start.data(), start.size(), 0) != ssize_t(start.size()) ||
         start != header)) {
        error = std::string("es ist ") + kind + " von tessmar-pitch und wird nicht überschrieben";
        return false;
    }
    return true;
}

} // namespace

std::string ScoreFile::Text(const std::vector<NoteScore>& scores) {
    std::string text = kHeader;
    int index = 1;
    for (const NoteScore& s : scores) {
        text += std::to_string(index++) + ',' + NoteName(s.target.note) + ',' +
                DecimalText(s.targetHz, 2) + ',' + DecimalText(s.target.start, 3) + ',' +
                DecimalText(s.target.end, 3) + ',' +
                (s.meanCents ? DecimalText(*s.meanCents, 1, true) : "") + ',' +
                DecimalText(s.inTunePct, 1) + ',' + (s.onsetMs ? DecimalText(*s.onsetMs, 0) : "") +
                '\n';
    }
    return text;
}

bool ScoreFile::Write(const std::string& path, const std::vector<NoteScore>& scores,
                      std::string& error) {
    return WriteText(path, kHeader, Text(scores), "keine Bewertung", error);
}

bool ScoreFile::WriteText(const std::string& path, const std::string& header,
                          const std::string& text, const char* kind, std::string& error) {
    std::string target = path;
    if (const int refused = ResolveOwnLinks(target); refused != 0) {
        error = SystemErrorText(refused);
        return false;
    }
    if (!MayReplace(target, header, kind, error)) {
        return false;
    }
    AtomicFile file(target);
    if (!file.Open() || !file.Write(text.data(), text.size()) || !file.Commit()) {
        error = SystemErrorText(file.error());
        return false;
    }
    return true;
}

} // namespace tessmar
