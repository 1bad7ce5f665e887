// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tessmar {

// Where the recording device takes its input from, as the environment variable
// TESSMAR_INPUT names it: unset or empty, the ALSA PCM "default"; "alsa:NAME", the ALSA
// PCM NAME; "file:PATH", an audio file at real-time pace, then silence; "demo", the
// built-in singer at real-time pace.
struct CaptureInput {
    enum class Kind { Alsa, File, Demo };
    Kind kind = Kind::Alsa;
    std::string argument = "default"; // the PCM name or the file path

    bool operator==(const CaptureInput&) const = default;

    // A value that can't be understood gives the ALSA default and a German message in
    // error; otherwise error is left empty.
    static CaptureInput Parse(const char* value, std::string& error);
    // Parses TESSMAR_INPUT; a message goes to standard error.
    static CaptureInput FromEnvironment();
};

} // namespace tessmar
