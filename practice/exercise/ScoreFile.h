// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/exercise/NoteScore.h"

#include <string>
#include <vector>

namespace tessmar {

// The --score file: one CSV row per target note, the same numbers under every locale.
// Times are seconds from the first captured frame; mean_cents is empty where nothing was
// sung, onset_ms where the note was never reached.
class ScoreFile {
public:
    static constexpr const char* kHeader =
        "index,target_note,target_hz,start_s,end_s,mean_cents,in_tune_pct,onset_ms\n";

    static std::string Text(const std::vector<NoteScore>& scores);
    // Written whole or not at all, as a take is: never through another user's link, and an
    // existing file only when it is empty or a score file of ours. Else false, with the
    // German reason.
    static bool Write(const std::string& path, const std::vector<NoteScore>& scores,
                      std::string& error);
    // Any CSV text of ours, as safely: a file there is replaced only when it is empty or
    // begins with header (kind, as "keine Bewertung", names it in the refusal).
    static bool WriteText(const std::string& path, const std::string& header,
                          const std::string& text, const char* kind, std::string& error);
};

} // namespace tessmar
