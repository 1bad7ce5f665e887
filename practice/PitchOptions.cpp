// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/PitchOptions.h"

#include "analysis/NoteNaming.h"

#include <charconv>

namespace tessmar {
namespace {

constexpr const char* kHelp =
    "Aufruf: tessmar-pitch [--log DATEI] [--concert-pitch HZ]\n"
    "       tessmar-pitch --exercise NAME --start TON [--rounds N] [--bpm N]\n"
    "                     [--tolerance CENT] [--delay-ms N] [--count-in N] [--score DATEI]\n"
    "       tessmar-pitch --song DATEI [--track N] [--transpose N] [--strict-octave]\n"
    "                     [--tolerance CENT] [--delay-ms N] [--count-in N] --score DATEI\n"
    "       tessmar-pitch --measure-delay\n"
    "       tessmar-pitch --history DATEI\n"
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
    "  --exercise NAME  eine Übung: treffen, halten, tonleiter, dreiklang oder\n"
    "               intervall (eine Quinte), Runde für Runde einen Halbton höher;\n"
    "               bewertet jeden Ton und nennt die Gesamtwertung. Mit --score ohne\n"
    "               Fenster, sonst beginnt sie gleich im Fenster\n"
    "  --start TON  der Grundton der ersten Runde, etwa C-3\n"
    "  --rounds N   Runden (1 bis 24, Standard 5)\n"
    "  --bpm N      Schläge pro Minute (30 bis 240, Standard 80); ein Ton je Schlag\n"
    "  --tolerance CENT  so weit darf ein Ton daneben liegen (1 bis 100, Standard 50)\n"
    "  --delay-ms N  Verzögerung von Lautsprecher zu Mikrofon (0 bis 1000, Standard 0)\n"
    "  --count-in N  Schläge vor dem ersten Ton (0 bis 8, Standard 4)\n"
    "  --score DATEI  schreibt je Zielton eine CSV-Zeile: index,target_note,target_hz,\n"
    "               start_s,end_s,mean_cents,in_tune_pct,onset_ms (Sekunden ab dem\n"
    "               ersten aufgenommenen Frame)\n"
    "  --song DATEI  ein Lied im UltraStar-Format (.txt) oder eine Melodie aus einer\n"
    "               MIDI-Datei mitsingen und bewerten:\n"
    "               je Note eine Zeile der Bewertung; Freestyle-Noten zählen nicht,\n"
    "               goldene doppelt, Rap-Noten, wo eine Stimme zu hören ist. Eine\n"
    "               Oktave daneben zählt als getroffen. Mit --score ohne Fenster,\n"
    "               sonst beginnt es gleich im Fenster\n"
    "  --track N    im Duett die Stimme (1 oder 2), in einer MIDI-Datei die wievielte\n"
    "               Spur mit Noten, im Format 0 der wievielte Kanal (Standard 1)\n"
    "  --transpose N  um N Halbtöne verschieben (-24 bis 24)\n"
    "  --strict-octave  die Oktave zählt mit\n"
    "  --measure-delay  misst die Verzögerung von Lautsprecher zu Mikrofon: spielt\n"
    "               einen kurzen Messton, sucht ihn in der Aufnahme und nennt sie\n"
    "               („Verzögerung: N ms“); für Lautsprecher nahe am Mikrofon\n"
    "  --history DATEI  schreibt alle bewerteten Übungen und Lieder als CSV, eine Zeile\n"
    "               je Ton (- für die Standardausgabe). Sie sind in\n"
    "               $XDG_DATA_HOME/tessmar/verlauf.sqlite gespeichert\n"
    "  --concert-pitch HZ  der Kammerton A-3 für Cent, Ziele und Vergleichston\n"
    "               (415 bis 466, Standard 440)\n"
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
    const auto wrong = [&](const std::string& why) {
        err << "tessmar-pitch: " << why << "\n"
            << "Aufruf: tessmar-pitch [--log DATEI] | --exercise NAME --start TON … | --song "
               "DATEI … --score DATEI | --help | --version\n";
        status = 2;
        return std::nullopt;
    };
    bool exerciseOption = false, songOption = false, scoredOption = false;
    std::string start;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& given = arguments[i];
        std::string a = given, value;
        if (const std::size_t equals = a.find('='); a.rfind("--", 0) == 0 && equals != a.npos) {
            value = a.substr(equals + 1);
            a.resize(equals);
        } else if (a != "--help" && a != "--version" && a != "--measure-delay" &&
                   a != "--strict-octave" && i + 1 < arguments.size()) {
            value = arguments[++i];
        }
        const auto number = [&](int low, int high, int& into) {
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), into);
            return error == std::errc() && end == value.data() + value.size() && into >= low &&
                   into <= high;
        };
        const auto range = [&](int low, int high) {
            return "„" + a + " " + value + "“: erwartet wird eine ganze Zahl von " +
                   std::to_string(low) + " bis " + std::to_string(high);
        };
        exerciseOption = exerciseOption || a == "--start" || a == "--rounds" || a == "--bpm";
        songOption = songOption || a == "--track" || a == "--transpose" || a == "--strict-octave";
        scoredOption = scoredOption || a == "--tolerance" || a == "--delay-ms" ||
                       a == "--count-in" || a == "--score";
        if (a == "--help") {
            out << kHelp;
            return std::nullopt;
        }
        if (a == "--version") {
            out << "tessmar-pitch " << TESSMAR_VERSION << '\n';
            return std::nullopt;
        }
        if (a == "--strict-octave") {
            if (!value.empty()) {
                return wrong("„--strict-octave“ nimmt keinen Wert");
            }
            options.strictOctave = true;
            continue;
        }
        if (a == "--measure-delay") {
            if (!value.empty()) {
                return wrong("„--measure-delay“ nimmt keinen Wert");
            }
            options.measuringDelay = true;
            continue;
        }
        if (value.empty() && a.rfind("--", 0) == 0) {
            return wrong("„" + a + "“ braucht einen Wert");
        }
        if (a == "--log") {
            options.log = value;
        } else if (a == "--exercise") {
            const auto kind = Exercise::KindNamed(value);
            if (!kind) {
                return wrong("unbekannte Übung „" + value +
                             "“; möglich sind treffen, halten, tonleiter, dreiklang, intervall");
            }
            options.exercising = true;
            options.exercise.kind = *kind;
        } else if (a == "--history") {
            options.history = value;
        } else if (a == "--song") {
            options.song = value;
        } else if (a == "--track" && !number(1, 64, options.track)) {
            return wrong(range(1, 64));
        } else if (a == "--transpose" && !number(-24, 24, options.transpose)) {
            return wrong(range(-24, 24));
        } else if (a == "--start") {
            start = value;
        } else if (a == "--rounds" && !number(1, 24, options.exercise.rounds)) {
            return wrong(range(1, 24));
        } else if (a == "--bpm" && !number(30, 240, options.exercise.bpm)) {
            return wrong(range(30, 240));
        } else if (a == "--tolerance" && !number(1, 100, options.toleranceCents)) {
            return wrong(range(1, 100));
        } else if (a == "--delay-ms" && !number(0, 1000, options.delayMs)) {
            return wrong(range(0, 1000));
        } else if (a == "--delay-ms") {
            options.delayGiven = true;
        } else if (a == "--tolerance") {
            options.toleranceGiven = true;
        } else if (a == "--count-in" && !number(0, 8, options.exercise.countInBeats)) {
            return wrong(range(0, 8));
        } else if (a == "--concert-pitch" && !number(415, 466, options.concertA)) {
            return wrong(range(415, 466));
        } else if (a == "--concert-pitch") {
            options.concertPitchGiven = true;
        } else if (a == "--score") {
            options.score = value;
        } else if (a != "--rounds" && a != "--bpm" && a != "--tolerance" && a != "--delay-ms" &&
                   a != "--count-in" && a != "--concert-pitch" && a != "--track" &&
                   a != "--transpose") {
            return wrong("unbekanntes Argument „" + given + "“");
        }
    }
    const bool singing = !options.song.empty();
    if (!options.history.empty() && (options.exercising || singing || options.measuringDelay ||
                                     !options.log.empty() || options.concertPitchGiven)) {
        return wrong("--history schreibt den Verlauf allein, ohne weitere Angaben");
    }
    if (options.measuringDelay && (options.exercising || singing || !options.log.empty())) {
        return wrong("--measure-delay misst allein, ohne Übung, Lied und --log");
    }
    if (options.exercising && singing) {
        return wrong("entweder eine Übung oder ein Lied");
    }
    if (exerciseOption && !options.exercising) {
        return wrong("die Einstellungen einer Übung gelten nur mit --exercise");
    }
    if (songOption && !singing) {
        return wrong("--track, --transpose und --strict-octave gelten nur mit --song");
    }
    if (scoredOption && !options.exercising && !singing) {
        return wrong("--tolerance, --delay-ms, --count-in und --score gelten nur mit "
                     "--exercise oder --song");
    }
    if (singing && !options.log.empty() && !options.score.empty()) {
        return wrong("--log gilt nur im Fenster, nicht mit --song … --score");
    }
    if (options.exercising) {
        options.exercise.start = NoteIndexOf(start);
        if (options.exercise.start == kNoNote) {
            return wrong(start.empty() ? "--exercise braucht --start TON, etwa --start C-3"
                                       : "„" + start +
                                             "“ ist kein Ton; geschrieben wird er "
                                             "wie C-3, F#-2 oder H-4");
        }
        for (const TargetNote& target : options.exercise.Targets()) {
            if (NoteName(target.note).empty()) {
                return wrong("die Übung reicht von " + start +
                             " aus über H-10 hinaus; bitte "
                             "tiefer beginnen oder weniger Runden");
            }
        }
        if (!options.log.empty() && !options.score.empty()) {
            return wrong("--log gilt nur im Fenster, nicht mit --exercise … --score");
        }
    }
    return options;
}

} // namespace tessmar
