// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeDesktop.h"
#include "FakeSound.h"
#include "QtTestMain.h"
#include "app/window/MainUnit.h"
#include "platform/profile/IniFileProfile.h"

#include <QTest>
#include <filesystem>
#include <fstream>
#include <memory>

namespace tessmar::test {
namespace {

// As QString, so that a failing comparison shows the text.
QString Text(const std::string& path) {
    const auto bytes = ReadBytes(path);
    return QString::fromStdString({bytes.begin(), bytes.end()});
}

// A main window whose placement lives in a real INI file, on a 1024 × 768 screen.
struct Placed : FakeSound {
    explicit Placed(const std::string& ini = "") {
        if (!ini.empty()) {
            WriteBytes(path, ini);
        }
    }
    std::unique_ptr<TMainForm> Open() {
        auto form = std::make_unique<TMainForm>(MainFormServices{profile,
                                                                 dialog,
                                                                 messages,
                                                                 screen,
                                                                 dir / "tessmar",
                                                                 dir / "home",
                                                                 waveIn,
                                                                 mixer,
                                                                 mediaDevice,
                                                                 events,
                                                                 {}});
        form->show();
        return form;
    }

    TempDir dir;
    std::string path = dir / "tessmar.INI";
    IniFileProfile profile{path};
    FakeSaveDialog dialog;
    FakeMessageBox messages;
    FakeScreen screen;
};

const QPoint kCentred((1024 - 548) / 2, (768 - 392) / 2);

} // namespace

class PlacementTest : public QObject {
    Q_OBJECT
private slots:
    void FirstStartIsCentredAndTheCloseWritesTheFile() {
        Placed p;
        auto form = p.Open();
        QCOMPARE(form->pos(), kCentred);
        QVERIFY(!form->isMinimized());
        QVERIFY(!std::filesystem::exists(p.path)); // nothing written before the close
        QVERIFY(form->close());
        // The offscreen platform frames windows with 2 pixels a side: the frame is stored.
        QCOMPARE(form->frameGeometry().size(), QSize(552, 396));
        QCOMPARE(Text(p.path), QString("[TMainForm]\n"
                                       "FormVersion=0\n"
                                       "Flags=0\n"
                                       "ShowCmd=1\n"
                                       "PixelsPerInch=96\n"
                                       "MinMaxPos(1024x768)=-1,-1,-1,-1\n"
                                       "MinMaxPos=-1,-1,-1,-1\n"
                                       "NormPos(1024x768)=238,188,790,584\n"
                                       "NormPos=238,188,790,584\n"
                                       "Visible=0\n"));
        form.reset(); // saved already: the destruction writes nothing more
        QVERIFY(Text(p.path).contains("Visible=0\n"));
        QVERIFY(p.messages.shown.empty());
    }

    void StoredPositionAtTheSameDensity() {
        Placed p("[TMainForm]\nPixelsPerInch=96\nNormPos=100,50,5,5\n");
        auto form = p.Open();
        QCOMPARE(form->pos(), QPoint(100, 50));
        QCOMPARE(form->size(), QSize(548, 392));
    }

    void APositionOffTheScreenIsBroughtBack() {
        Placed p("[TMainForm]\nNormPos=2000,1000,2548,1392\n"); // from a bigger screen
        QCOMPARE(p.Open()->pos(), QPoint(1024 - 548, 768 - 392));
        Placed q("[TMainForm]\nNormPos=-900,-5,0,0\n");
        QCOMPARE(q.Open()->pos(), QPoint(0, 0));
    }

    void OtherDensityIsCentred() {
        Placed p("[TMainForm]\nPixelsPerInch=120\nNormPos=100,50,648,442\n");
        QCOMPARE(p.Open()->pos(), kCentred);
    }

    void CurrentScreenSizeWins() {
        Placed p("[TMainForm]\nNormPos(1024x768)=10,20,558,412\nNormPos=300,300,848,692\n");
        QCOMPARE(p.Open()->pos(), QPoint(10, 20));
    }

    void MinimisedAtTheEndMinimisedAtTheStart() {
        Placed p("[TMainForm]\nShowCmd=2\nNormPos=100,50,648,442\n");
        auto form = p.Open();
        QTRY_VERIFY(form->isMinimized());
        QVERIFY(form->close());
        QVERIFY(Text(p.path).contains("ShowCmd=2\n"));
    }

    void UnwritableFileIsReportedOnceAndTheWindowClosesAnyway() {
        Placed p;
        std::filesystem::create_directory(p.path);
        auto form = p.Open();
        QVERIFY(form->close());
        QVERIFY(!form->isVisible());
        QCOMPARE(p.messages.shown.size(), 1u);
        QCOMPARE(p.messages.shown[0].caption, QString("Tessmar"));
        QCOMPARE(p.messages.shown[0].text,
                 QString::fromStdString("nach " + p.path + " kann nicht geschrieben werden."));
        form.reset(); // tried again, but not reported twice
        QCOMPARE(p.messages.shown.size(), 1u);
    }

    void OnWaylandTheStoredPositionIsNeitherAppliedNorOverwritten() {
        Placed p("[TMainForm]\nPixelsPerInch=96\nNormPos=100,50,648,442\n");
        p.screen.placeable = false;
        auto form = p.Open();
        QVERIFY(form->pos() != QPoint(100, 50));
        QVERIFY(form->close());
        QCOMPARE(Text(p.path), QString("[TMainForm]\nPixelsPerInch=96\nNormPos=100,50,648,442\n"
                                       "FormVersion=0\nFlags=0\nShowCmd=1\nVisible=0\n"));
    }

    void DestroyedWithoutCloseSavesVisible() {
        Placed p;
        p.Open().reset();
        QVERIFY(Text(p.path).contains("Visible=1\n"));

        Placed never; // never shown: no restore, so nothing is saved
        TMainForm hidden({never.profile,
                          never.dialog,
                          never.messages,
                          never.screen,
                          never.dir / "tessmar",
                          never.dir / "home",
                          never.waveIn,
                          never.mixer,
                          never.mediaDevice,
                          never.events,
                          {}});
        hidden.close();
        QVERIFY(!std::filesystem::exists(never.path));
    }
};

} // namespace tessmar::test

TESSMAR_QTEST_MAIN(tessmar::test::PlacementTest)
#include "PlacementTest.moc"
