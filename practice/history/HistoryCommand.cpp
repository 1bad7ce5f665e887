// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/history/HistoryCommand.h"

#include "platform/system/SystemErrorText.h"
#include "practice/exercise/ScoreFile.h"
#include "practice/history/TakeHistory.h"

#include <filesystem>

namespace tessmar {

int RunHistoryCommand(const std::string& historyPath, const std::string& target, std::ostream& out,
                      std::ostream& err) {
    std::string error;
    std::optional<std::string> csv = std::string(TakeHistory::kCsvHeader);
    std::error_code ec;
    const bool kept = std::filesystem::exists(historyPath, ec);
    if (ec) { // not "none yet": a folder closed to us, a loop of links
        err << "tessmar-pitch: Der Verlauf „" << historyPath
            << "“ lässt sich nicht lesen: " << SystemErrorText(ec.value()) << ".\n";
        return 1;
    }
    if (kept) { // none yet: nothing to make for it
        const auto history = TakeHistory::Open(historyPath, error);
        csv = history ? history->Csv(error) : std::nullopt;
        if (!csv) {
            err << "tessmar-pitch: Der Verlauf „" << historyPath
                << "“ lässt sich nicht lesen: " << error << ".\n";
            return 1;
        }
    }
    if (target == "-") {
        out << *csv << std::flush;
        return out ? 0 : 1;
    }
    if (!ScoreFile::WriteText(target, TakeHistory::kCsvHeader, *csv, "kein Verlauf", error)) {
        err << "tessmar-pitch: Der Verlauf lässt sich nicht in „" << target
            << "“ schreiben: " << error << ".\n";
        return 1;
    }
    return 0;
}

} // namespace tessmar
