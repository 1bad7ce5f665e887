// SPDX-License-Identifier: GPL-3.0-or-later
// What screen readers learn of the main window's controls: a name for every control whose
// text doesn't say it, a description where the use isn't plain, and the captions as the
// buddies of their field and slider. Nothing here changes what the window shows.
#include "app/controls/Bevel.h"
#include "app/controls/FilenameEdit.h"
#include "app/controls/PaintBox.h"
#include "app/window/MainUnit.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QToolButton>

namespace tessmar {
namespace {

// A plain widget counts as a pane; the main window is a window to screen readers, which
// announce it by its title when it becomes active.
QAccessibleInterface* MainWindowRole(const QString& className, QObject* object) {
    if (className == QLatin1String(TMainForm::staticMetaObject.className())) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    }
    return nullptr;
}

void Describe(QWidget* control, const QString& name, const QString& description) {
    if (!name.isEmpty()) {
        control->setAccessibleName(name);
    }
    control->setAccessibleDescription(description);
}

} // namespace

void TMainForm::DescribeControls() {
    [[maybe_unused]] static const bool windowRole =
        (QAccessible::installFactory(MainWindowRole), true);
    // The captions name their controls; their texts have no mnemonic, so no key appears.
    Label2->setBuddy(FilenameEdit2);
    Label3->setBuddy(TrackBar1);
    Describe(FilenameEdit2, "WAV-Datei",
             QString("Hier wird die Aufnahme gespeichert; leer: nichts wird aufgezeichnet. %1 "
                     "öffnet den Dialog zum Wählen der Datei.")
                 .arg(TFilenameEdit::kBrowseKeyText));
    Describe(FilenameEdit2->BrowseButton(), FilenameEdit2->BrowseButton()->toolTip(),
             QString("Öffnet den Dialog zum Wählen der Datei (%1 im Feld).")
                 .arg(TFilenameEdit::kBrowseKeyText));
    Describe(TrackBar1, "Lautstärke", "Aufnahmepegel des Mixers, 0 bis 100");

    // Their names are their texts, read as they change; empty while nothing is shown.
    Label1->setAccessibleDescription("Gesungene Note und Oktave");
    Label4->setAccessibleDescription("Wiedergabezeit: abgelaufen / gesamt");
    for (QLabel* label : plainNotes_) {
        label->setAccessibleDescription("Notenspalte");
    }
    for (QLabel* label : litNotes_) {
        label->setAccessibleDescription("Notenspalte, rot: die gesungene Note");
    }

    Describe(KonvertBtn, "",
             "Stellt den Mixer nach der Lautstärke ein und nimmt auf, bis Abbrechen "
             "gedrückt wird");
    Describe(StopPlayBtn, "", "Beendet die Aufnahme oder die Wiedergabe (Esc)");
    Describe(PlayWAVBtn, "", "Spielt die Datei aus dem Feld WAV-Datei ab");
    Describe(AboutBtn, "", "Zeigt das Fenster mit den Angaben zum Programm");
    Describe(ScrollBox1, "Wellenform", "Der zuletzt aufgenommene Block");
    Describe(PaintBox1, "Wellenform", "Der zuletzt aufgenommene Block");
    Describe(ProgressBar1, "Wiedergabefortschritt", "");
    Describe(Bevel1, "Trennlinie", "");
}

} // namespace tessmar
