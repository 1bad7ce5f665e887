// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/playback/EMCIDeviceError.h"

namespace tessmar {

// The error box adds the closing full stop.
std::string EMCIDeviceError::TextFor(mci::Error code) {
    using namespace mci;
    switch (code) {
    case MCIERR_FILE_NOT_FOUND:
        return "Die Datei wurde nicht gefunden. Prüfen Sie Pfad und Dateinamen";
    case MCIERR_FILENAME_REQUIRED:
        return "Es ist kein Dateiname angegeben";
    case MCIERR_FILE_READ:
        return "Die Datei kann nicht gelesen werden";
    case MCIERR_DEVICE_NOT_READY:
        return "Das Wiedergabegerät antwortet nicht (ist etwa der Soundserver angehalten?)";
    case MCIERR_NOT_REGULAR_FILE:
        return "Das ist keine gewöhnliche Datei, sondern etwa eine Pipe oder ein Gerät; "
               "abgespielt werden nur Dateien";
    case MCIERR_INVALID_FILE:
        return "Die Datei ist keine Audiodatei, die abgespielt werden kann";
    case MCIERR_DEVICE_NOT_INSTALLED:
        return "Es ist kein Wiedergabegerät vorhanden, oder es lässt sich nicht öffnen";
    case MCIERR_WAVE_OUTPUTSINUSE:
        return "Das Wiedergabegerät ist belegt. Warten Sie, bis es frei ist, und versuchen "
               "Sie es dann noch einmal";
    case MCIERR_WAVE_OUTPUTSUNSUITABLE:
        return "Das Wiedergabegerät kann Audiodaten in diesem Format nicht abspielen";
    case MCIERR_OUT_OF_MEMORY:
        return "Für diesen Vorgang ist nicht genug Arbeitsspeicher frei";
    case MCIERR_HARDWARE:
        return "Das Wiedergabegerät meldet einen Fehler";
    case MCIERR_DEVICE_OPEN:
        return "Das Gerät ist bereits geöffnet";
    case MCIERR_INVALID_DEVICE_ID:
        return "Das Gerät ist nicht geöffnet";
    case MCIERR_BAD_TIME_FORMAT:
        return "Dieses Zeitformat wird nicht unterstützt";
    default:
        return "Unbekannter Fehlercode";
    }
}

} // namespace tessmar
