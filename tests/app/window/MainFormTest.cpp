// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainFormFixture.h"
#include "QtTestMain.h"
#include "analysis/TestTones.h"
#include "app/AppError.h"
#include "app/controls/Bevel.h"
#include "app/controls/FilenameEdit.h"
#include "app/controls/PaintBox.h"
#include "app/controls/WindowFont.h"
#include "platform/desktop/QtGermanTranslations.h"

#include <QAccessible>
#include <QBitmap>
#include <QFontInfo>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <atomic>
#include <thread>

namespace tessmar::test {
namespace {

const Block kA3 = MakeBlock(BinCosine(2000, 41));   // A-3, Label26
const Block kC0 = MakeBlock(BinCosine(2000, 3));    // C-0, Label17
const Block kQuiet = MakeBlock(BinCosine(900, 41)); // below the threshold: no note

int StackIndex(const QWidget* w) {
    return w->parentWidget()->children().indexOf(w);
}

QList<QLabel*> VisibleLit(const TMainForm& form) {
    QList<QLabel*> visible;
    for (QLabel* label : form.LitNoteLabels()) {
        if (label->isVisible()) {
            visible << label;
        }
    }
    return visible;
}

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT
private slots:
    void WindowAndControlsAsDesigned() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        w.show();
        QCOMPARE(w.windowTitle(), QString("Korvana Lirapex 1.0"));
        QCOMPARE(w.size(), QSize(548, 392));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QVERIFY(w.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(w.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(QFontInfo(w.font()).family(), QString("MS Sans Serif")); // from fonts-wine
        QCOMPARE(w.LayoutScale(), 1.0);

        QCOMPARE(ui.Label2->pos(), QPoint(8, 56));
        QCOMPARE(ui.Label2->text(), QString("WAV-Datei:"));
        QCOMPARE(ui.Label3->text(), QString("Lautstärke:"));
        QCOMPARE(ui.Label30->geometry(), QRect(8, 32, 378, 13));
        QCOMPARE(
            ui.Label29->text(),
            QString("Aktivieren Sie im Windows-Mixer unter Eigenschaften/Aufname das Mikrofon!"));
        QCOMPARE(ui.Bevel1->geometry(), QRect(0, 342, 548, 50));
        QCOMPARE(ui.KonvertBtn->geometry(), QRect(108, 352, 145, 25));
        QCOMPARE(ui.KonvertBtn->text(), QString("Aufzeichnung starten"));
        QCOMPARE(ui.StopPlayBtn->geometry(), QRect(260, 352, 121, 25));
        QVERIFY(!ui.StopPlayBtn->isEnabled());
        QCOMPARE(ui.FilenameEdit2->geometry(), QRect(88, 56, 361, 21));
        QVERIFY(ui.FilenameEdit2->BrowseButton()->isVisible());
        QCOMPARE(ui.AboutBtn->geometry(), QRect(296, 4, 147, 25));
        QCOMPARE(ui.AboutBtn->text(), QString("Über das Programm..."));
        QCOMPARE(ui.PlayWAVBtn->geometry(), QRect(280, 288, 171, 25));
        for (QPushButton* b : {ui.KonvertBtn, ui.StopPlayBtn, ui.AboutBtn, ui.PlayWAVBtn}) {
            const QIcon icon = b->icon();
            QVERIFY(!icon.isNull());
            QVERIFY(icon.pixmap(16, QIcon::Normal).toImage() !=
                    icon.pixmap(16, QIcon::Disabled).toImage());
        }
        for (QWidget* hidden :
             {static_cast<QWidget*>(ui.SetMixerBtn), static_cast<QWidget*>(ui.RecordBtn),
              static_cast<QWidget*>(ui.StopBtn), ui.MediaPlayer1}) {
            QVERIFY(!hidden->isVisible());
        }

        QCOMPARE(ui.TrackBar1->geometry(), QRect(80, 88, 377, 45));
        QCOMPARE(ui.TrackBar1->value(), 30);
        QCOMPARE(ui.TrackBar1->tickPosition(), QSlider::TicksBelow);
        QCOMPARE(ui.TrackBar1->tickInterval(), 10);
        ui.TrackBar1->setValue(250);
        QCOMPARE(ui.TrackBar1->value(), 100);
        ui.TrackBar1->setValue(-5);
        QCOMPARE(ui.TrackBar1->value(), 0);

        QCOMPARE(ui.ScrollBox1->geometry(), QRect(8, 136, 441, 121));
        QCOMPARE(ui.PaintBox1->geometry(), QRect(0, 0, 437, 117));
        QCOMPARE(ui.PaintBox1->grab().toImage().pixelColor(200, 60), QColor(128, 0, 0));
        QCOMPARE(ui.ProgressBar1->geometry(), QRect(8, 264, 441, 17));
        QCOMPARE(ui.ProgressBar1->value(), 0);
        QCOMPARE(ui.ProgressBar1->maximum(), 100);
    }

    void NoteColumnAndLabelsBeforeTheFirstBlock() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        w.show();
        const char* names[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "H"};
        for (int row = 0; row < 12; ++row) {
            QLabel* plain = w.PlainNoteLabels()[row];
            QLabel* lit = w.LitNoteLabels()[row];
            QCOMPARE(plain->objectName(), QString("Label%1").arg(5 + row));
            QCOMPARE(lit->objectName(), QString("Label%1").arg(17 + row));
            QCOMPARE(plain->pos(), QPoint(464, 96 + 16 * row));
            QCOMPARE(lit->text(), QString(names[row]));
            QVERIFY(lit->geometry().contains(plain->geometry()));
            QVERIFY(StackIndex(lit) > StackIndex(plain));
            QVERIFY(lit->font().bold());
            QVERIFY(lit->isVisible() && plain->isVisible());
        }
        // Lit means red on the screen, not just in the palette.
        const QImage lit = ui.Label17->grab().toImage();
        bool red = false;
        for (int x = 0; x < lit.width(); ++x) {
            red = red || lit.pixelColor(x, 6) == QColor(255, 0, 0);
        }
        QVERIFY(red);
        QCOMPARE(ui.Label1->text(), QString());
        QCOMPARE(ui.Label1->pos(), QPoint(8, 288));
        QCOMPARE(ui.Label4->pos(), QPoint(8, 288));
        QVERIFY(StackIndex(ui.Label1) > StackIndex(ui.Label4));
    }

    void DisplayRuleOnTheWindowThread() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        w.show();
        w.AnalizeFrequenz(kA3.data());
        QCOMPARE(ui.Label1->text(), QString("A-3"));
        QCOMPARE(VisibleLit(w), QList<QLabel*>{ui.Label26});
        QVERIFY(ui.Label1->width() > 0 && ui.Label1->isVisible());

        w.AnalizeFrequenz(kA3.data()); // the same note again: still exactly one
        QCOMPARE(VisibleLit(w), QList<QLabel*>{ui.Label26});
        w.AnalizeFrequenz(kC0.data());
        QCOMPARE(ui.Label1->text(), QString("C-0"));
        QCOMPARE(VisibleLit(w), QList<QLabel*>{ui.Label17});
        w.AnalizeFrequenz(kQuiet.data());
        QCOMPARE(ui.Label1->text(), QString());
        QVERIFY(VisibleLit(w).isEmpty());
        for (QLabel* plain : w.PlainNoteLabels()) {
            QVERIFY(plain->isVisible());
        }
        // A name shown again is as wide as its text, however it was measured.
        for (const Block* block : {&kA3, &kQuiet, &kC0, &kA3}) {
            w.AnalizeFrequenz(block->data());
            QCOMPARE(ui.Label1->width(),
                     ui.Label1->text().isEmpty() ? 0 : ui.Label1->sizeHint().width());
        }
    }

    // The capture thread never waits for the window: it finishes all its blocks while the
    // window's thread is busy elsewhere, and the window then shows the last block.
    void UpdatesFromTheCaptureThread() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        w.show();
        const Block* blocks[] = {&kA3, &kQuiet, &kC0};
        constexpr int kCalls = 300;
        std::thread busyWindow([&] {
            for (int i = 0; i < kCalls; ++i) {
                w.AnalizeFrequenz(blocks[i % 3]->data());
            }
        });
        busyWindow.join(); // would hang (test timeout) if the capture side waited
        QCOMPARE(ui.Label1->text(), QString()); // nothing touched the labels off-thread
        QCOMPARE(VisibleLit(w).size(), 12);
        QTRY_COMPARE(ui.Label1->text(), QString("C-0")); // block 299 is kC0
        QCOMPARE(VisibleLit(w), QList<QLabel*>{ui.Label17});

        // Now with the window's thread handling events all the while.
        std::atomic<bool> done{false};
        std::thread capture([&] {
            for (int i = 1; i <= kCalls; ++i) {
                w.AnalizeFrequenz(blocks[i % 3]->data());
            }
            done = true;
        });
        while (!done) {
            QCoreApplication::processEvents();
        }
        capture.join();
        QTRY_COMPARE(ui.Label1->text(), QString("A-3")); // block 300 is kA3
        QCOMPARE(VisibleLit(w), QList<QLabel*>{ui.Label26});
    }

    void TabOrderEnterAndEscape() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(QApplication::focusWidget(), ui.KonvertBtn);

        QList<QWidget*> order;
        for (QWidget* at = ui.KonvertBtn; order.size() < 6; at = at->nextInFocusChain()) {
            if (at->isVisible() && at->isEnabled() && (at->focusPolicy() & Qt::TabFocus)) {
                order << at;
            }
        }
        QWidget* const expected[] = {ui.KonvertBtn, ui.FilenameEdit2, ui.TrackBar1, ui.AboutBtn,
                                     ui.PlayWAVBtn, ui.KonvertBtn}; // StopPlayBtn is disabled
        QCOMPARE(order, QList<QWidget*>(std::begin(expected), std::end(expected)));

        QSignalSpy konvert(ui.KonvertBtn, &QPushButton::clicked);
        QSignalSpy play(ui.PlayWAVBtn, &QPushButton::clicked);
        // Each starts a recording with the focus on "Abbrechen", so that Esc or the key that
        // started it ends it; the focus then comes back.
        QWidget* focusDuringTake = nullptr;
        auto endSoon = [&](Qt::Key key) {
            QTimer::singleShot(0, &w, [&, key] {
                focusDuringTake = QApplication::focusWidget();
                QTest::keyClick(focusDuringTake, key);
            });
        };
        endSoon(Qt::Key_Escape);
        QTest::keyClick(ui.KonvertBtn, Qt::Key_Return);
        QCOMPARE(focusDuringTake, ui.StopPlayBtn);
        QCOMPARE(QApplication::focusWidget(), ui.KonvertBtn);
        endSoon(Qt::Key_Enter);
        QTest::keyClick(ui.KonvertBtn, Qt::Key_Enter);
        QCOMPARE(focusDuringTake, ui.StopPlayBtn);
        QCOMPARE(konvert.count(), 2);
        QVERIFY(ui.KonvertBtn->isEnabled());
        QVERIFY(!ui.StopPlayBtn->isEnabled());
        ui.CancelFlag = false;
        ui.FilenameEdit2->setFocus();
        QTest::keyClick(ui.FilenameEdit2, Qt::Key_Return); // not a button: nothing happens
        QCOMPARE(konvert.count() + play.count(), 2);

        QTest::keyClick(ui.FilenameEdit2, Qt::Key_Escape); // cancel button disabled
        QVERIFY(!ui.CancelFlag);
        ui.StopPlayBtn->setEnabled(true);
        QTest::keyClick(ui.FilenameEdit2, Qt::Key_Escape);
        QVERIFY(ui.CancelFlag);
    }

    void DefaultOutputFileAndErrorsOfHandlers() {
        {
            MainFormFixture f("my prog");
            const std::string expected = f.dir / "my prog/out.wav";
            QCOMPARE(f.ui().FilenameEdit2->text(), QString::fromStdString('"' + expected + '"'));
            QCOMPARE(f.ui().FilenameEdit2->FileName(), expected);
            QVERIFY(f.messages.shown.empty());
        }
        MainFormFixture f("take[1]"); // the proposed name is refused
        QCOMPARE(f.ui().FilenameEdit2->text(), QString());
        QCOMPARE(f.messages.shown.size(), 1u);
        QCOMPARE(f.messages.shown[0].caption, QString("Tessmar"));
        QCOMPARE(f.messages.shown[0].text,
                 QString::fromStdString("Ungültiger Dateiname - " + f.dir / "take[1]/out.wav."));

        bool after = false;
        f.form->Guarded([&] {
            throw AppError("Bitte warten...");
            after = true;
        });
        QVERIFY(!after);
        QCOMPARE(f.messages.shown.back().text, QString("Bitte warten...")); // no second stop
        f.form->Guarded([] { throw 42; });
        QCOMPARE(f.messages.shown.back().text, QString("Unbekannter Fehler."));
    }

    void FileNameFieldAndBrowse() {
        MainFormFixture f;
        TFilenameEdit& field = *f.ui().FilenameEdit2;
        f.form->show();
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));

        field.setText("/My Songs/take.wav");
        QCOMPARE(field.FileName(), std::string("/My"));
        field.SetFileName("/My Songs/take.wav");
        QCOMPARE(field.text(), QString("\"/My Songs/take.wav\""));
        QCOMPARE(field.FileName(), std::string("/My Songs/take.wav"));
        QVERIFY_THROWS_EXCEPTION(AppError, field.SetFileName("\"/My Songs/[take].wav\""));
        QCOMPARE(field.text(), QString("\"/My Songs/take.wav\""));

        field.SetFileName(f.dir / "prog/out.wav");
        f.ui().KonvertBtn->setFocus();
        f.dialog.answer = f.dir / "new take.wav";
        field.BrowseButton()->click();
        QCOMPARE(f.dialog.requests.size(), 1u);
        const SaveDialog::Request& r = f.dialog.requests[0];
        QCOMPARE(r.title, std::string("Browse"));
        QCOMPARE(r.filter, std::string("WAV-Dateien (*.wav)"));
        QCOMPARE(r.folder, f.dir / "prog");
        QCOMPARE(r.preselected, std::string("out.wav"));
        QCOMPARE(field.text(), QString::fromStdString('"' + f.dir / "new take.wav\""));
        QCOMPARE(QApplication::focusWidget(), &field);

        f.dialog.answer.reset(); // cancelled: the text stays
        field.BrowseButton()->click();
        QCOMPARE(field.text(), QString::fromStdString('"' + f.dir / "new take.wav\""));
        QCOMPARE(f.dialog.requests.back().preselected, std::string("new take.wav"));
    }

    // Screen readers find a name for every control shown and the captions' buddies; Alt+Down
    // opens the browse dialog; Qt's own texts are German whatever the locale (here C).
    void ScreenReadersKeyboardAndQtTexts() {
        MainFormFixture f;
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        w.show();
        w.AnalizeFrequenz(kA3.data());
        auto a11y = [](QObject* o) { return QAccessible::queryAccessibleInterface(o); };
        QCOMPARE(a11y(&w)->role(), QAccessible::Window);
        for (int i = 0; i < a11y(&w)->childCount(); ++i) {
            const QAccessibleInterface* c = a11y(&w)->child(i);
            QVERIFY2(c->state().invisible || c->object() == ui.Label4 ||
                         !c->text(QAccessible::Name).isEmpty(),
                     qPrintable(c->object()->objectName()));
        }
        QCOMPARE(a11y(ui.Label1)->text(QAccessible::Name), QString("A-3"));
        QVERIFY(!a11y(ui.FilenameEdit2->BrowseButton())->text(QAccessible::Name).isEmpty());
        for (auto [caption, field] : {std::pair<QObject*, QObject*>{ui.Label2, ui.FilenameEdit2},
                                      {ui.Label3, ui.TrackBar1}}) {
            const auto labels = a11y(field)->relations(QAccessible::Label);
            QVERIFY(labels.size() == 1 && labels[0].first->object() == caption);
        }
        QTest::keyClick(ui.FilenameEdit2, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(f.dialog.requests.size(), 1u);
        QtGermanTranslations german;
        QCOMPARE(QCoreApplication::translate("QFileDialog", "File &name:"), QString("Datei&name:"));
    }

    // At QT_SCALE_FACTOR=2 (main_form_tests_at_2x) a line is twice as tall and wide as the
    // bitmap font's at 1x (whose letters stayed small, spread apart); no label grows.
    void TextScalesWithTheWindow() {
        if (qApp->devicePixelRatio() != 2) {
            QSKIP("for a screen scaled by 2");
        }
        MainFormFixture f;
        TMainForm& w = *f.form;
        MainFormProbe ui(w);
        QImage one(378, 13, QImage::Format_RGB32);
        one.fill(Qt::white);
        QPainter painter(&one);
        painter.setFont(WindowFont::Get(1.0));
        painter.drawText(one.rect(), Qt::AlignVCenter, ui.Label30->text());
        painter.end();
        const QImage two = w.grab().toImage().copy(16, 64, 2 * 378, 2 * 13);
        auto ink = [](const QImage& image) { // the box around the dark pixels
            const QImage dark = image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
            return QSizeF(QRegion(QBitmap::fromImage(dark)).boundingRect().size());
        };
        const QSizeF ratio(ink(two).width() / ink(one).width(),
                           ink(two).height() / ink(one).height());
        QVERIFY2(ratio.width() > 1.8 && ratio.width() < 2.1 && ratio.height() > 1.6 &&
                     ratio.height() < 2.4,
                 qPrintable(QString("%1 x %2").arg(ratio.width()).arg(ratio.height())));
        QCOMPARE(QList<int>({ui.Label2->width(), ui.Label3->width(), ui.Label29->width(),
                             ui.Label30->width()}),
                 QList<int>({56, 53, 365, 378}));
    }
};

} // namespace tessmar::test

TESSMAR_QTEST_MAIN(tessmar::test::MainFormTest)
#include "MainFormTest.moc"
