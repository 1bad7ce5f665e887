// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/system/SystemErrorText.h"

#include <cerrno>
#include <cstring>

namespace tessmar {

std::string SystemErrorText(int error) {
    switch (error) {
    case kErrNotRegularFile:
        return "keine gewöhnliche Datei";
    case kErrForeignLink:
        return "ein Verweis eines anderen Benutzers, dem Tessmar nicht folgt";
    case ENOENT:
        return "Datei oder Ordner nicht vorhanden";
    case EACCES:
        return "keine Berechtigung";
    case EPERM:
        return "Vorgang nicht erlaubt";
    case EROFS:
        return "das Dateisystem ist schreibgeschützt";
    case ENOSPC:
        return "kein Platz mehr auf dem Datenträger";
    case EDQUOT:
        return "das Speicherkontingent ist erschöpft";
    case EISDIR:
        return "das ist ein Ordner";
    case ENOTDIR:
        return "ein Teil des Pfades ist kein Ordner";
    case ENAMETOOLONG:
        return "der Name ist zu lang";
    case ENODEV:
        return "kein solches Gerät";
    case EBUSY:
        return "wird gerade benutzt";
    case EIO:
        return "Ein-/Ausgabefehler";
    case EFBIG:
        return "die Datei wird zu groß";
    case EEXIST:
        return "unter dem Namen gibt es schon etwas";
    case ELOOP:
        return "zu viele Verweise hintereinander, oder ein Verweis, dem nicht gefolgt wird";
    case ENOTEMPTY:
        return "der Ordner ist nicht leer";
    case EMFILE:
    case ENFILE:
        return "zu viele offene Dateien";
    case ENOMEM:
        return "nicht genug Arbeitsspeicher";
    case EAGAIN:
        return "vorübergehend nicht verfügbar";
    case EINVAL:
        return "ungültiges Argument";
    case ENXIO:
        return "kein solches Gerät oder keine solche Adresse";
    case EPIPE:
        return "die Gegenseite hat die Verbindung geschlossen";
    case ECONNREFUSED:
        return "Verbindung abgelehnt";
    case ECONNRESET:
        return "die Verbindung wurde von der Gegenseite getrennt";
    case ETIMEDOUT:
        return "Zeitüberschreitung";
    case ENOTCONN:
        return "keine Verbindung";
    case 0:
        return "unbekannter Fehler";
    default:
        break;
    }
    // strerrordesc_np, unlike strerror, keeps no shared buffer.
    const char* text = ::strerrordesc_np(error);
    return "Fehler " + std::to_string(error) + (text ? " (" + std::string(text) + ")" : "");
}

} // namespace tessmar
