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

    // nullptr, with a German reason in error, when the file can't be made or may not be
    // replaced. Made as a take's file is: never through another user's link, nothing but a
    // regular file, created exclusively when new; an existing file is replaced only when it
    // is empty or a log of ours, never a recording mistyped for one.
    static std::unique_ptr<PitchLog> Open(const std::string& path, std::string& error);
    static std::string Row(const PitchUpdate& update);

    // Rows reach the file at least once a second and when the log goes.
    void Write(const PitchUpdate& update);
    // Everything written and flushed; else why not (the first failure), in German.
    bool Finish(std::string& error);

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    explicit PitchLog(std::FILE* file) : file_(file) {}

    void Check(bool ok);

    std::unique_ptr<std::FILE, Closer> file_;
    double flushedAt_ = 0.0;
    int error_ = 0; // errno of the first failed write
};

} // namespace tessmar
