// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/PitchUpdate.h"

#include <cstdio>
#include <memory>
#include <string>

namespace tessmar {

// The --log file: "time_s,f0_hz,note,cents,level_dbfs", one row per update shown; the
// pitch columns stay empty without a pitch.
class PitchLog {
public:
    static constexpr const char* kHeader = "time_s,f0_hz,note,cents,level_dbfs\n";

    // nullptr when the file can't be made, with a German reason in error.
    static std::unique_ptr<PitchLog> Open(const std::string& path, std::string& error);
    static std::string Row(const PitchUpdate& update);

    // Rows reach the file at least once a second and when the log goes.
    void Write(const PitchUpdate& update);

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    explicit PitchLog(std::FILE* file) : file_(file) {}

    std::unique_ptr<std::FILE, Closer> file_;
    double flushedAt_ = 0.0;
};

} // namespace tessmar
