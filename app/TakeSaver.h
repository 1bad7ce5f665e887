#pragma once

#include "app/RunOutcome.h"

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
    struct Window {
        // True while nobody can answer a question.
        std::function<bool()> unattended;
        // Says why fileName failed and lets the user choose another; empty is their "no".
        std::function<std::string(const std::string& fileName, const std::string& reason)> ask;
    };

    TakeSaver(
        Window window, std::vector<std::string> fallbackFolders, RunOutcome& outcome,
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
    void End(bool fileNamed);

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
    std::vector<std::string> fallbackFolders_;
    RunOutcome& outcome_;
    std::function<std::time_t()> now_;
    bool commandLine_ = false;
    std::optional<Failure> firstFailure_;
    std::optional<Failure> lastFailure_;
    std::optional<std::string> savedTo_;
    std::size_t nextFallback_ = 0;
    bool usedFallback_ = false;
    bool declined_ = false;
};

} // namespace tessmar
