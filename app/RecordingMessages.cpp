#include "app/RecordingMessages.h"

namespace tessmar {

std::string RecordingStoppedGrowingText(RecordingLimit why) {
    const std::string rest = "Töne und Wellenform werden weiter angezeigt, aber nicht mehr "
                             "aufgezeichnet; \"Abbrechen\" speichert das bisher Aufgenommene";
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

} // namespace tessmar
