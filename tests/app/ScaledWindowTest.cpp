// The main window on a screen that Qt scales by 2 (QT_SCALE_FACTOR, set by CTest).
#include "MainFormFixture.h"
#include "QtTestMain.h"
#include "app/WindowFont.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace tessmar::test {
namespace {

// Where the text is: the box around the dark pixels.
QRect Ink(const QImage& image) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

} // namespace

class ScaledWindowTest : public QObject {
    Q_OBJECT
private slots:
    // The window is twice as large in device pixels and so is its text; a bitmap font kept
    // its letters at their 1x size and spread them over the doubled width.
    void TextScalesWithTheWindow() {
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
        MainFormFixture f;
        TMainForm& w = *f.form;
        w.show();
        const QImage shot = w.grab().toImage();
        QCOMPARE(shot.size(), QSize(2 * 548, 2 * 392));

        QImage atOne(378, 13, QImage::Format_RGB32);
        atOne.fill(Qt::white);
        QPainter painter(&atOne);
        painter.setFont(WindowFont::Get(1.0));
        painter.drawText(atOne.rect(), Qt::AlignLeft | Qt::AlignVCenter, w.Label30->text());
        painter.end();
        const QRect one = Ink(atOne);
        const QRect two = Ink(shot.copy(QRect(2 * 8, 2 * 32, 2 * 378, 2 * 13)));
        QVERIFY2(
            two.height() >= 1.6 * one.height() && two.height() <= 2.4 * one.height(),
            qPrintable(QString("%1 px tall at 1x, %2 at 2x").arg(one.height()).arg(two.height())));
        QVERIFY2(
            two.width() >= 1.8 * one.width() && two.width() <= 2.1 * one.width(),
            qPrintable(QString("%1 px wide at 1x, %2 at 2x").arg(one.width()).arg(two.width())));

        // No text outgrows its control.
        QCOMPARE(w.Label30->geometry(), QRect(8, 32, 378, 13));
        QCOMPARE(w.Label29->geometry(), QRect(16, 320, 365, 13));
        QCOMPARE(w.Label2->width(), 56);
        QCOMPARE(w.Label3->width(), 53);
        for (QPushButton* b : {w.KonvertBtn, w.StopPlayBtn, w.AboutBtn, w.PlayWAVBtn}) {
            QVERIFY2(b->sizeHint().width() <= b->width(), qPrintable(b->text()));
        }
    }
};

} // namespace tessmar::test

TESSMAR_QTEST_MAIN(tessmar::test::ScaledWindowTest)
#include "ScaledWindowTest.moc"
