// SPDX-License-Identifier: GPL-3.0-or-later
// tessmar-pitch's window through an exercise: it fits a small laptop's screen while the
// targets come in and with the result, and the result names the note sung wrong.
#include "tools/pitch/PitchWindow.h"

#include "practice/ReferencePlayer.h"
#include "practice/exercise/ExerciseSettings.h"
#include "support/FakeProfile.h"
#include "support/QtTestMain.h"

#include <QLabel>
#include <QTemporaryDir>
#include <cmath>

namespace tessmar {

class PitchWindowTest : public QObject {
    Q_OBJECT
private slots:
    void AnExerciseFitsTheScreenAndTellsTheWrongNote() {
        setenv("TESSMAR_OUTPUT", "tessmar_test_nowhere", 1); // no sound: it starts at once
        QTemporaryDir data; // the take finished is kept there, not in the user's history
        setenv("XDG_DATA_HOME", data.path().toUtf8().constData(), 1);
        test::FakeProfile profile;
        ReferencePlayer player;
        PitchWindow window(player, nullptr, profile, "test>test");
        window.show();
        const auto fits = [&window] {
            const QSize least = window.minimumSizeHint();
            qInfo("least size %d x %d", least.width(), least.height());
            return least.width() <= 1280 && least.height() <= 660;
        };
        QVERIFY2(fits(), "free singing");

        ExerciseSettings settings;
        settings.exercise = {Exercise::Kind::Tonleiter, 36, 1, 240, 1};
        settings.exercise.countInBeats = 0;
        window.StartExercise(settings);
        // It begins at the sixth update (0.3 s); without a sound started, 0.3 s after it.
        const auto targets = settings.exercise.Targets();
        for (double t = 0.05; t < targets.back().end + 1.0; t += 0.05) {
            PitchUpdate update{.seconds = t, .levelDbfs = -20.0};
            const double sung = t - 0.048 - 0.6;
            for (std::size_t i = 0; i < targets.size(); ++i) {
                if (sung >= targets[i].start && sung < targets[i].end) {
                    const double cents = i == 2 ? -60.0 : 0.0; // the third note flat
                    update.note = targets[i].note;
                    update.hz =
                        player.concertA() * std::exp2((update.note - 45) / 12.0 + cents / 1200.0);
                    update.cents = cents;
                }
            }
            window.Shown(update);
            QCoreApplication::processEvents();
        }
        QString result;
        for (const QLabel* label : window.findChildren<QLabel*>()) {
            result += label->text();
        }
        QVERIFY2(result.contains(QStringLiteral("3. Ton (E-3): 60 Cent zu tief")),
                 qPrintable(result));
        QVERIFY2(result.contains(QStringLiteral("8 von 9 Tönen sauber")), qPrintable(result));
        QVERIFY2(fits(), "with the result");
    }
};

} // namespace tessmar

TESSMAR_QTEST_MAIN(tessmar::PitchWindowTest)
#include "PitchWindowTest.moc"
