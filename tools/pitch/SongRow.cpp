// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/pitch/SongRow.h"

#include "practice/ReferencePlayer.h"
#include "practice/song/SongFile.h"
#include "tools/pitch/FormRows.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

namespace tessmar {
namespace {

// A duet singer's name as the message shows it, after the voice's number.
QString Named(const std::string& singer) {
    return singer.empty() ? QString() : QStringLiteral(" (%1)").arg(QString::fromStdString(singer));
}

} // namespace

SongRow::SongRow(QWidget* parent) : QWidget(parent) {
    auto* open = new QPushButton(QStringLiteral("&Lied öffnen …"), this);
    open->setToolTip(QStringLiteral("Ein Lied im UltraStar-Format (.txt) oder eine Melodie aus "
                                    "einer MIDI-Datei"));
    sing_ = new QPushButton(QStringLiteral("Lied s&ingen"), this);
    transpose_ = form::Number(this, -24, 24, " Halbtöne");
    strict_ = new QCheckBox(QStringLiteral("O&ktave zählt"), this);
    strict_->setToolTip(QStringLiteral("Sonst zählt ein Ton auch eine Oktave höher oder tiefer "
                                       "als getroffen"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(open);
    row->addWidget(sing_);
    form::Add(row, this, "Trans&ponieren:", transpose_);
    row->addWidget(strict_);
    row->addStretch(1);
    for (QWidget* w : {static_cast<QWidget*>(sing_), static_cast<QWidget*>(transpose_),
                       static_cast<QWidget*>(strict_)}) {
        w->setEnabled(false);
    }
    connect(open, &QPushButton::clicked, this, &SongRow::Open);
    connect(sing_, &QPushButton::clicked, this, &SongRow::Sing);
}

int SongRow::transpose() const {
    return transpose_->value();
}

bool SongRow::strictOctave() const {
    return strict_->isChecked();
}

void SongRow::Open() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Lied öffnen"), folder_,
        QStringLiteral("Lieder (*.txt *.mid *.midi);;Alle Dateien (*)"));
    if (path.isEmpty()) {
        return;
    }
    folder_ = QFileInfo(path).absolutePath();
    // A duet's voices or a MIDI file's tracks with notes: the singer chooses which.
    std::string error;
    const std::vector<SongFile::Part> parts = SongFile::Parts(path.toStdString(), error);
    if (parts.empty()) {
        emit Told(QStringLiteral("„%1“ lässt sich nicht singen: %2.")
                      .arg(QFileInfo(path).fileName(), QString::fromStdString(error)));
        return;
    }
    QStringList choices;
    for (const SongFile::Part& part : parts) {
        choices << QString::fromStdString(part.label);
    }
    bool chosen = true;
    const QString choice =
        choices.size() > 1 ? QInputDialog::getItem(this, QStringLiteral("Lied öffnen"),
                                                   QStringLiteral("Welche Stimme wird gesungen?"),
                                                   choices, 0, false, &chosen)
                           : choices.front();
    if (chosen) {
        Load(path, parts[std::size_t(std::max(0, int(choices.indexOf(choice))))].track,
             transpose_->value(), strict_->isChecked());
    }
}

bool SongRow::Load(const QString& path, int track, int transpose, bool strictOctave) {
    std::string error;
    std::optional<Song> song = SongFile::Read(path.toStdString(), track, error);
    const QString name = QFileInfo(path).fileName();
    if (!song) {
        emit Told(QStringLiteral("„%1“ lässt sich nicht singen: %2.")
                      .arg(name, QString::fromStdString(error)));
        return false;
    }
    song_ = std::move(song);
    path_ = path;
    voice_ = song_->voices > 1 ? track : 1;
    transpose_->setValue(transpose);
    strict_->setChecked(strictOctave);
    for (QWidget* w : {static_cast<QWidget*>(sing_), static_cast<QWidget*>(transpose_),
                       static_cast<QWidget*>(strict_)}) {
        w->setEnabled(true);
    }
    const QString title = song_->title.empty() ? name : QString::fromStdString(song_->title);
    const QString artist = song_->artist.empty()
                               ? QString()
                               : QStringLiteral(" von ") + QString::fromStdString(song_->artist);
    emit Told(QStringLiteral("Lied: „%1“%2, %3 Noten%4.")
                  .arg(title, artist)
                  .arg(song_->notes.size())
                  .arg(song_->voices > 1 ? QStringLiteral("; gesungen wird die Stimme %1%2")
                                               .arg(voice_)
                                               .arg(Named(song_->singers[std::size_t(voice_ == 2)]))
                                         : QString()));
    return true;
}

std::optional<SongSound::Prepared> SongRow::Prepare(ExerciseScorer::Settings scoring, int countIn,
                                                    TakeHistory::Take& kept,
                                                    std::string& error) const {
    scoring.octaveFree = !strictOctave();
    auto prepared = SongSound::Prepare(*song_, voice_, transpose(), countIn, scoring,
                                       ReferencePlayer::kRate, error);
    if (prepared) {
        kept = {};
        kept.kind = "lied";
        kept.name = song_->title.empty() ? QFileInfo(path_).fileName().toStdString() : song_->title;
        kept.detail = path_.toStdString();
    }
    return prepared;
}

} // namespace tessmar
