// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about/AboutBoxUnit.h"

#include "app/about/PictureLoader.h"
#include "app/controls/Glyphs.h"
#include "app/controls/Panel.h"
#include "app/controls/WindowFont.h"
#include "app/placement/PlacementAdapter.h"
#include "platform/desktop/ScreenMetrics.h"
#include "platform/desktop/Shell.h"

#include <QDate>
#include <QFile>
#include <QLabel>
#include <QPushButton>

namespace tessmar {

TAboutBox::TAboutBox(Shell& shell, ScreenMetrics& screen, QWidget* parent)
    : TAboutBox(shell, screen, BuiltInPicture(), QDate::currentDate().year(), parent) {}

TAboutBox::TAboutBox(Shell& shell, ScreenMetrics& screen, const QByteArray& picture, int year,
                     QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      screen_(screen), shell_(shell) {
    setObjectName("AboutBox");
    setWindowTitle("Info");
    setFont(WindowFont::Get(devicePixelRatioF()));
    setFixedSize(kClientWidth, kClientHeight);

    Panel1 = new TPanel(QColor(240, 202, 166), this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(8, 8, 649, 385);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName("ProgramIcon");
    ProgramIcon->setGeometry(16, 40, 306, 322);
    ProgramIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QImage image = PictureLoader::FromJpeg(picture);
    if (!image.isNull()) {
        ProgramIcon->setPixmap(QPixmap::fromImage(image));
    }

    ProductName = new QLabel("Korvana Lirapex 1.0", Panel1);
    ProductName->setObjectName("ProductName");
    QFont title;
    title.setFamilies(
        {"Arial Narrow", "Liberation Sans Narrow", "DejaVu Sans Condensed", "Sans Serif"});
    title.setPixelSize(24);
    title.setBold(true);
    ProductName->setFont(title);
    ProductName->move(8, 8);
    ProductName->adjustSize();

    Version = AddText("Version", "Tessmar, Version 1.0\nGesangstrainer für Linux", 48, 32);
    Comments = AddText("Comments",
                       "Singen Sie ins Mikrofon: Tessmar zeigt Ihnen live, welchen Ton Sie "
                       "treffen, mit Namen und Oktave – A-3 ist das eingestrichene A mit "
                       "440 Hz.",
                       96, 56);
    Features = AddText("Features",
                       "Ihr Gesang lässt sich als WAV-Datei aufzeichnen und danach mit "
                       "Zeitanzeige wieder anhören.",
                       168, 44);
    Copyright = AddText("Copyright", "Copyright © XXXX Die Tessmar-Entwickler", 296, 16);
    Copyright->setText(
        Copyright->text().replace(Copyright->text().indexOf("XXXX"), 4, QString::number(year)));

    WebBtn = new QPushButton(Glyphs::Globe(devicePixelRatioF()), "tessmar.example.org", Panel1);
    WebBtn->setObjectName("WebBtn");
    WebBtn->setAutoDefault(false);
    WebBtn->setGeometry(336, 240, 169, 25);
    connect(WebBtn, &QPushButton::clicked, this, [this] { WebBtnClick(this); });

    OKButton = new QPushButton(Glyphs::Tick(devicePixelRatioF()), "OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setGeometry(241, 404, 181, 37);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(this); });
}

QByteArray TAboutBox::BuiltInPicture() {
    QFile file(":/tessmar/about.jpg");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QLabel* TAboutBox::AddText(const char* name, const QString& text, int top, int height) {
    auto* label = new QLabel(text, Panel1);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(336, top, 296, height);
    return label;
}

void TAboutBox::setVisible(bool visible) {
    if (visible && !isVisible()) {
        PlacementAdapter::Centre(*this, screen_.WorkArea());
    }
    QDialog::setVisible(visible);
}

void TAboutBox::WebBtnClick(QObject*) {
    try {
        shell_.Open(kWebAddress);
    } catch (...) {
        // Whether the browser opened is not looked at; nothing may reach Qt from here.
    }
}

void TAboutBox::OKButtonClick(QObject*) {
    accept();
}

} // namespace tessmar
