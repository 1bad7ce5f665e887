// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/capture/CaptureInput.h"

#include "platform/system/ProgramName.h"

#include <cstdlib>
#include <iostream>
#include <string_view>

namespace tessmar {

CaptureInput CaptureInput::Parse(const char* value, std::string& error) {
    error.clear();
    const std::string_view text = value ? value : "";
    if (text.empty()) {
        return {};
    }
    if (text == "demo") {
        return {Kind::Demo, {}};
    }
    constexpr std::string_view alsa = "alsa:", file = "file:";
    if (text.starts_with(alsa) && text.size() > alsa.size()) {
        return {Kind::Alsa, std::string(text.substr(alsa.size()))};
    }
    if (text.starts_with(file) && text.size() > file.size()) {
        return {Kind::File, std::string(text.substr(file.size()))};
    }
    error = "TESSMAR_INPUT=„" + std::string(text) +
            "“ ist ungültig; möglich sind alsa:NAME, file:PFAD und demo. Aufgenommen wird "
            "vom ALSA-Standardgerät.";
    return {};
}

CaptureInput CaptureInput::FromEnvironment() {
    std::string error;
    CaptureInput input = Parse(std::getenv("TESSMAR_INPUT"), error);
    if (!error.empty()) {
        std::cerr << ProgramName() << ": " << error << '\n';
    }
    return input;
}

} // namespace tessmar
