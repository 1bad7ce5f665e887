// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeDesktop.h"
#include "MainFormFixture.h"
#include "QtTestMain.h"
#include "app/about/AboutBoxUnit.h"
#include "app/controls/FilenameEdit.h"
#include "app/controls/Panel.h"
#include "platform/desktop/QtMessageBox.h"
#include "platform/desktop/QtSaveDialog.h"

#include <QDate>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace tessmar::test {
namespace {

// Runs check on the modal window of type W as soon as it is up.
template <class W> void WhenModal(std::function<void(W*)> check) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, check] {
        if (auto* w = qobject_cast<W*>(QApplication::activeModalWidget()); w && w->isVisible()) {
            timer->stop();
            timer->deleteLater();
            check(w);
        }
    });
    timer->start(10);
}

} // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT
private slots:
    void LayoutPictureAndYear() {
        FakeShell shell;
        FakeScreen screen;
        TAboutBox box(shell, screen, TAboutBox::BuiltInPicture(), 2031);
        QCOMPARE(box.windowTitle(), QString("Info"));
        QCOMPARE(box.size(), QSize(664, 453));
        QCOMPARE(box.Panel1->geometry(), QRect(8, 8, 649, 385));
        QCOMPARE(box.Panel1->Color(), QColor(240, 202, 166));
        QCOMPARE(box.ProgramIcon->geometry(), QRect(16, 40, 306, 322));
        QCOMPARE(box.ProgramIcon->pixmap().size(), QSize(306, 322)); // decoded by libjpeg
        QCOMPARE(box.Copyright->text(), QString("Copyright © 2031 Die Tessmar-Entwickler"));
        QCOMPARE(box.ProductName->pos(), QPoint(8, 8));
        QCOMPARE(box.ProductName->font().pixelSize(), 24);
        QVERIFY(box.ProductName->font().bold());
        QCOMPARE(box.WebBtn->geometry(), QRect(336, 240, 169, 25));
        QCOMPARE(box.OKButton->geometry(), QRect(241, 404, 181, 37));
        QVERIFY(box.OKButton->isDefault());
        QVERIFY(!box.isVisible());

        const int before = QDate::currentDate().year();
        TAboutBox now(shell, screen);
        QVERIFY(now.Copyright->text().contains(QString::number(before)) ||
                now.Copyright->text().contains(QString::number(QDate::currentDate().year())));
        QVERIFY(!now.Copyright->text().contains("XXXX"));
    }

    void BrokenPictureLeavesTheAreaEmpty() {
        FakeShell shell;
        FakeScreen screen;
        QByteArray broken = TAboutBox::BuiltInPicture();
        QVERIFY(broken.size() > 1000);
        broken.truncate(broken.size() / 2);
        TAboutBox box(shell, screen, broken, 2031);
        QVERIFY(box.ProgramIcon->pixmap().isNull());
        TAboutBox none(shell, screen, QByteArray("GIF89a"), 2031);
        QVERIFY(none.ProgramIcon->pixmap().isNull());
    }

    void ShownModallyFromTheMainWindow() {
        MainFormFixture f;
        FakeShell shell;
        TAboutBox box(shell, f.screen, f.form.get());
        f.form->SetAboutBox(&box);
        f.form->show();
        bool checked = false;
        WhenModal<TAboutBox>([&](TAboutBox* shown) {
            QCOMPARE(shown, &box);
            QCOMPARE(shown->pos(), QPoint((1024 - 664) / 2, (768 - 453) / 2));
            shown->WebBtn->click();
            QCOMPARE(shell.opened, std::vector<std::string>{"https://tessmar.example.org/"});
            QTest::keyClick(shown->WebBtn, Qt::Key_Return); // Enter means OK
            checked = true;
        });
        f.ui().AboutBtn->click(); // returns when the window is closed
        QVERIFY(checked);
        QVERIFY(!box.isVisible());
        QCOMPARE(box.result(), int(QDialog::Accepted));
    }

    void RealMessageBoxIsAnErrorWithOk() {
        QtMessageBox messages;
        bool checked = false;
        WhenModal<QMessageBox>([&](QMessageBox* box) {
            QCOMPARE(box->windowTitle(), QString("Tessmar"));
            QCOMPARE(box->icon(), QMessageBox::Critical);
            QCOMPARE(box->standardButtons(), QMessageBox::Ok);
            QCOMPARE(box->text(), QString("Fehler <b>1</b>."));
            QCOMPARE(box->textFormat(), Qt::PlainText);
            box->accept();
            checked = true;
        });
        messages.ShowError(nullptr, "Tessmar", "Fehler <b>1</b>.");
        QVERIFY(checked);
    }

    void RealSaveDialogFromTheBrowseButton() {
        TempDir dir;
        QtSaveDialog dialog;
        TFilenameEdit field(dialog, nullptr);
        field.resize(361, 21);
        field.SetFileName(dir / "old.wav");
        field.show();
        bool checked = false;
        WhenModal<QFileDialog>([&](QFileDialog* d) {
            QCOMPARE(d->windowTitle(), QString("Browse"));
            QCOMPARE(d->nameFilters(), QStringList{"WAV-Dateien (*.wav)"});
            QCOMPARE(d->directory().absolutePath(), QString::fromStdString(dir.path().string()));
            QVERIFY(d->testOption(QFileDialog::DontConfirmOverwrite));
            QCOMPARE(d->defaultSuffix(), QString());
            // Typed like a user would; selectFile() leaves a focused name field alone.
            auto* name = d->findChild<QLineEdit*>("fileNameEdit");
            QVERIFY(name);
            QCOMPARE(name->text(), QString("old.wav")); // preselected
            name->setText("new take");
            QMetaObject::invokeMethod(d, "accept");
            checked = true;
        });
        field.Browse();
        QVERIFY(checked);
        QCOMPARE(field.text(), QString::fromStdString('"' + dir / "new take\"")); // no ".wav"
    }
};

} // namespace tessmar::test

TESSMAR_QTEST_MAIN(tessmar::test::AboutBoxTest)
#include "AboutBoxTest.moc"
