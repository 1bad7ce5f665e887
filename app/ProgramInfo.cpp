// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramInfo.h"

namespace tessmar {
namespace {

// German like the window; the details are in the manual page tessmar(1).
constexpr const char* kHelp =
    "Aufruf: tessmar\n"
    "       tessmar X DATEI [LAUTSTÄRKE]\n"
    "       tessmar --help | --version\n"
    "\n"
    "Tessmar zeigt den Ton, den Sie ins Mikrofon singen, mit Namen und Oktave (A-3 für\n"
    "440 Hz), nimmt den Gesang als WAV-Datei auf und spielt die Aufnahme ab.\n"
    "\n"
    "Ohne Argumente, oder mit einem einzelnen anderen Argument, öffnet sich das Fenster.\n"
    "Mit zwei oder mehr Argumenten nimmt Tessmar sofort nach DATEI auf (16 Bit Stereo,\n"
    "11025 Hz), mit dem Lautstärkeregler auf LAUTSTÄRKE (0-100, sonst 30); das erste\n"
    "Argument X wird nicht beachtet. „Abbrechen“, Strg+C oder SIGTERM beenden die\n"
    "Aufnahme; sie wird gespeichert, dann endet das Programm.\n"
    "\n"
    "  --help     diese Hilfe zeigen und beenden\n"
    "  --version  die Version zeigen und beenden\n"
    "\n"
    "Umgebungsvariablen:\n"
    "  TESSMAR_INPUT   Aufnahmeeingabe: alsa:NAME, file:PFAD oder demo\n"
    "                  (leer oder nicht gesetzt: das ALSA-Gerät „default“)\n"
    "  TESSMAR_MIXER   ALSA-Mixer für die Einstellungen vor der Aufnahme (Standard: default)\n"
    "  TESSMAR_OUTPUT  ALSA-Gerät für die Wiedergabe (Standard: default)\n"
    "\n"
    "Die Fensterposition steht in $XDG_CONFIG_HOME/tessmar.INI (sonst ~/.config).\n";

} // namespace

const char* ProgramInfo::ApplicationId() {
    return TESSMAR_APPLICATION_ID;
}

const char* ProgramInfo::Version() {
    return TESSMAR_VERSION;
}

std::optional<int> ProgramInfo::Answer(const std::vector<std::string>& arguments,
                                       std::ostream& out) {
    if (arguments.size() != 1) {
        return std::nullopt;
    }
    if (arguments[0] == "--help") {
        out << kHelp;
    } else if (arguments[0] == "--version") {
        out << "Tessmar " << Version() << '\n';
    } else {
        return std::nullopt;
    }
    out.flush();
    return out ? 0 : 1;
}

} // namespace tessmar
