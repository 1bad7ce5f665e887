// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recording/RecordingMessages.h"

#include "platform/capture/WaveIn.h"

namespace tessmar {
namespace {

// A take in command-line mode may run off screen, from a script or over ssh: there the
// terminal's key is the one at hand.
std::string Cancel(bool commandLine) {
    return commandLine ? "\"Abbrechen\" oder Strg+C" : "\"Abbrechen\"";
}

} // namespace

std::string RecordingStoppedGrowingText(RecordingLimit why, bool commandLine) {
    const std::string rest = "Töne und Wellenform werden weiter angezeigt, aber nicht mehr "
                             "aufgezeichnet; " +
                             Cancel(commandLine) + " speichert das bisher Aufgenommene";
    if (why == RecordingLimit::OutOfMemory) {
        return "Der Arbeitsspeicher reicht nicht, um die Aufnahme weiter wachsen zu lassen. " +
               rest;
    }
    return "Die Aufnahme hat ihre größte Länge erreicht. " + rest;
}

std::string DeviceLostText(bool kept) {
    const std::string gone = "Das Aufnahmegerät ist nicht mehr erreichbar. ";
    if (kept) {
        return gone + "Das bisher Aufgenommene bleibt erhalten und wird mit \"Abbrechen\" "
                      "gespeichert";
    }
    return gone + "Es wird nichts mehr aufgenommen; beenden Sie die Aufnahme mit \"Abbrechen\"";
}

std::string DeviceUnavailableText(std::uint32_t code, bool commandLine) {
    const std::string nothing =
        "Es wird nichts aufgenommen; beenden Sie die Aufnahme mit " + Cancel(commandLine);
    const char* why = nullptr;
    switch (code) {
    case MMSYSERR_BADDEVICEID:
    case MMSYSERR_NODRIVER:
        why = "es ist keines vorhanden oder es lässt sich nicht erreichen";
        break;
    case MMSYSERR_ALLOCATED:
        why = "es wird gerade von einem anderen Programm benutzt";
        break;
    case MMSYSERR_NORESPONSE:
        why = "es antwortet nicht (ist etwa der Soundserver angehalten?)";
        break;
    case WAVERR_BADFORMAT:
        why = "es nimmt nicht in 16 Bit Stereo mit 11025 Hz auf";
        break;
    case MMSYSERR_READERROR:
        return "Die Eingabedatei (TESSMAR_INPUT) lässt sich nicht lesen; warum, steht in der "
               "Standardfehlerausgabe. " +
               nothing;
    default:
        return "Das Aufnahmegerät lässt sich nicht öffnen (Fehler " + std::to_string(code) + "). " +
               nothing;
    }
    return std::string("Das Aufnahmegerät lässt sich nicht öffnen: ") + why + ". " + nothing;
}

std::string DeviceLostUnattendedText() {
    return "Das Aufnahmegerät ist nicht mehr erreichbar; die Aufnahme endet, das bisher "
           "Aufgenommene wird gespeichert";
}

std::string TakeFailedText(const std::string& what) {
    const std::string failed = "Die Aufnahme ist fehlgeschlagen";
    return what.empty() ? failed : failed + ": " + what;
}

std::string AskForOtherFileText(const std::string& fileName, const std::string& reason) {
    return "Die Aufnahme konnte nicht in \"" + fileName + "\" gespeichert werden (" + reason +
           "). Bitte wählen Sie eine andere Datei; ohne Auswahl geht die Aufnahme verloren";
}

std::string ReplaceQuestionText(const std::string& fileName) {
    return "Die Datei \"" + fileName +
           "\" gibt es schon. Soll die neue Aufnahme sie ersetzen?\n\n"
           "Mit \"Nein\" wählen Sie eine andere Datei.";
}

std::string NameTakenReason() {
    return "ein anderes laufendes Tessmar nimmt in diese Datei auf";
}

std::string WrittenSinceBeginReason() {
    return "ein anderes Programm hat sie während dieser Aufnahme geschrieben";
}

std::string WrittenSinceBeginText(const std::string& fileName) {
    return "Die Datei \"" + fileName +
           "\" wurde während dieser Aufnahme von einem anderen Programm geschrieben. Die "
           "Aufnahme ersetzt sie nicht, sondern wird in einer Ausweichdatei gespeichert";
}

std::string NameLockUnavailableText(const std::string& fileName) {
    return "Für \"" + fileName +
           "\" lässt sich keine Sperre anlegen (der private Ordner für Sperrdateien fehlt "
           "oder gehört nicht Ihnen). Hat ein anderes Programm die Datei bis zum Ende dieser "
           "Aufnahme geschrieben, wird sie in einer Ausweichdatei gespeichert";
}

std::string NoOtherFileChosenReason() {
    return "es gibt sie schon, und es wurde keine andere Datei gewählt";
}

std::string NobodyAskedReason() {
    return "es gibt sie schon, und niemand konnte gefragt werden, ob sie ersetzt werden soll";
}

std::string NameTakenAtStartText(const std::string& fileName, bool atWindow) {
    const std::string text = "In \"" + fileName +
                             "\" nimmt schon ein anderes laufendes Tessmar auf. Läuft es am "
                             "Ende dieser Aufnahme noch, wird sie in einer Ausweichdatei "
                             "gespeichert";
    return atWindow ? text + "; wählen Sie sonst bis dahin einen anderen Dateinamen" : text;
}

std::string JournalTroubleText(const std::string& reason) {
    return "Die Aufnahme kann nicht laufend auf dem Datenträger gesichert werden (" + reason +
           "). Sie wird beim Beenden wie gewohnt gespeichert, ginge aber verloren, wenn das "
           "Programm vorher abbricht";
}

std::string VolumeNotANumberText(const std::string& given, int used) {
    return "Die Lautstärke \"" + given + "\" ist keine ganze Zahl; aufgenommen wird mit " +
           std::to_string(used);
}

std::string VolumeOutOfRangeText(const std::string& given, int used) {
    return "Die Lautstärke \"" + given + "\" liegt außerhalb von 0 bis 100; aufgenommen wird mit " +
           std::to_string(used);
}

} // namespace tessmar
