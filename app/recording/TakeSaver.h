// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/recording/RunOutcome.h"

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tessmar {

// What becomes of a take whose file can't be written, and what the program says about it.
// Someone at the window is asked for another file, so a take is lost only on their "no".
// When nobody can answer (command-line mode, or the program is ending on a signal), the
// take goes to a new file named after the moment, tessmar-YYYYMMDD-HHMMSS.wav, in the
// first fallback folder that takes it. A command-line take that doesn't end up in its own
// file fails the run.
class TakeSaver {
public:
    // A folder for takes that can't go where they were meant to.
    struct FallbackFolder {
        FallbackFolder(std::string folder, bool isPrivate = false, bool isTemporary = false)
            : path(std::move(folder)), makePrivate(isPrivate), temporary(isTemporary) {}
        std::string path;
        bool makePrivate; // made (or checked) as the user's alone before use
        bool temporary;   // emptied by a reboot: a take there must be moved by the user
    };
    // The user's home, then a folder of the user's alone in the temporary folder, and only
    // then the shared temporary folder itself (where the file is created exclusively).
    static std::vector<FallbackFolder> DefaultFallbackFolders(const std::string& home);
    // Whether takes may go into the folder now.
    static bool Usable(const FallbackFolder& folder);

    struct Window {
        // True while nobody can answer a question.
        std::function<bool()> unattended;
        // Says why fileName failed and lets the user choose another; empty is their "no".
        std::function<std::string(const std::string& fileName, const std::string& reason)> ask;
    };

    TakeSaver(
        Window window, std::vector<FallbackFolder> fallbackFolders, RunOutcome& outcome,
        std::function<std::time_t()> now = [] { return std::time(nullptr); });

    // A take begins; commandLine: it is what the program was started for.
    void Begin(bool commandLine);
    // The take couldn't be written to fileName: the next name to try; empty gives it up.
    std::string OtherFile(const std::string& fileName, const std::string& reason);
    // The take is not to go to fileName, for the reason given, and nobody is asked: the
    // next fallback file; empty when there is none left.
    std::string Fallback(const std::string& fileName, const std::string& reason);
    // The take is in fileName.
    void Saved(const std::string& fileName);
    // The take is over and nothing more is tried; says what became of it. fileNamed: a file
    // was named at the stop (when nothing was saved, either nothing was recorded or no name).
    // journal: where the whole take is kept for the next start, if anywhere.
    void End(bool fileNamed, const std::string& journal = {});

    // Given up against the user's will: neither its file nor a fallback took it.
    bool Lost() const { return firstFailure_ && !savedTo_ && !declined_; }
    const std::vector<FallbackFolder>& FallbackFolders() const { return fallbackFolders_; }

    // What a take saved in folder is told, beside where it is.
    static std::string TemporaryNote(const FallbackFolder& folder);

    // "tessmar-20261209-031500.wav" for that moment.
    static std::string FallbackName(const std::tm& when);

private:
    struct Failure {
        std::string fileName;
        std::string reason;
    };
    void Remember(const std::string& fileName, const std::string& reason);
    std::string NextFallback();

    Window window_;
    std::vector<FallbackFolder> fallbackFolders_;
    RunOutcome& outcome_;
    std::function<std::time_t()> now_;
    bool commandLine_ = false;
    std::optional<Failure> firstFailure_;
    std::optional<Failure> lastFailure_;
    std::optional<std::string> savedTo_;
    std::size_t nextFallback_ = 0;
    std::string lastFallback_;
    int races_ = 0;
    bool usedFallback_ = false;
    bool declined_ = false;
};

} // namespace tessmar
