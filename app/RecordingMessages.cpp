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

} // namespace tessmar
