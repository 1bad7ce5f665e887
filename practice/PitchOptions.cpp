// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/PitchOptions.h"

namespace tessmar {
namespace {

constexpr const char* kHelp =
    "Aufruf: tessmar-pitch [--log DATEI]\n"
    "       tessmar-pitch --help | --version\n"
    "\n"
    "Zeigt beim Singen live den gesungenen Ton (A-3 für 440 Hz), wie weit er in Cent\n"
    "daneben liegt, den Verlauf der letzten zehn Sekunden, den Eingangspegel und den\n"
    "bisher gesungenen Umfang. Ein Klick auf eine Zeile des Verlaufs oder die Tasten\n"
    "C, D, E, F, G, A, H (mit Umschalt einen Halbton höher) spielen den Ton zum Vergleich.\n"
    "\n"
    "  --log DATEI  schreibt jede Anzeige als CSV-Zeile: time_s,f0_hz,note,cents,level_dbfs\n"
    "               (Sekunden ab dem ersten aufgenommenen Frame bis zum Ende der\n"
    "               ausgewerteten Aufnahme; ohne klare Tonhöhe bleiben f0_hz, note und\n"
    "               cents leer)\n"
    "  --help       diese Hilfe zeigen und beenden\n"
    "  --version    die Version zeigen und beenden\n"
    "\n"
    "Umgebungsvariablen:\n"
    "  TESSMAR_INPUT   Aufnahmeeingabe: alsa:NAME, file:PFAD oder demo\n"
    "                  (leer oder nicht gesetzt: das ALSA-Gerät „default“)\n"
    "  TESSMAR_OUTPUT  ALSA-Gerät für den Vergleichston (Standard: default)\n";

} // namespace

std::optional<PitchOptions> PitchOptions::Parse(const std::vector<std::string>& arguments,
                                                std::ostream& out, std::ostream& err, int& status) {
    PitchOptions options;
    status = 0;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--help") {
            out << kHelp;
            return std::nullopt;
        }
        if (a == "--version") {
            out << "tessmar-pitch " << TESSMAR_VERSION << '\n';
            return std::nullopt;
        }
        if (a == "--log" && i + 1 < arguments.size()) {
            options.log = arguments[++i];
        } else if (a.rfind("--log=", 0) == 0) {
            options.log = a.substr(6);
        } else {
            err << "tessmar-pitch: unbekanntes Argument „" << a << "“\n"
                << "Aufruf: tessmar-pitch [--log DATEI] | --help | --version\n";
            status = 2;
            return std::nullopt;
        }
    }
    return options;
}

} // namespace tessmar
