// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/PitchLog.h"

#include "analysis/NoteNaming.h"
#include "platform/system/SystemErrorText.h"

#include <cerrno>
#include <cmath>

namespace tessmar {

std::unique_ptr<PitchLog> PitchLog::Open(const std::string& path, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "we");
    if (!file) {
        error = SystemErrorText(errno);
        return nullptr;
    }
    std::fputs(kHeader, file);
    return std::unique_ptr<PitchLog>(new PitchLog(file));
}

std::string PitchLog::Row(const PitchUpdate& update) {
    char line[160];
    double level = std::round(update.levelDbfs * 10.0) / 10.0;
    level = level == 0.0 ? 0.0 : level; // no "-0.0"
    if (update.hz > 0.0) {
        std::snprintf(line, sizeof line, "%.3f,%.2f,%s,%+.1f,%.1f\n", update.seconds, update.hz,
                      NoteName(update.note).c_str(), update.cents, level);
    } else {
        std::snprintf(line, sizeof line, "%.3f,,,,%.1f\n", update.seconds, level);
    }
    return line;
}

void PitchLog::Write(const PitchUpdate& update) {
    std::fputs(Row(update).c_str(), file_.get());
    if (update.seconds - flushedAt_ >= 1.0 || update.seconds < flushedAt_) {
        std::fflush(file_.get());
        flushedAt_ = update.seconds;
    }
}

} // namespace tessmar
