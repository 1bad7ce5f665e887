// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/history/TakeHistory.h"
#include "practice/song/Song.h"
#include "practice/song/SongSound.h"

#include <QWidget>
#include <optional>

class QCheckBox;
class QPushButton;
class QSpinBox;

namespace tessmar {

// A song to sing along to: "Lied öffnen…" reads an UltraStar text or a MIDI file's first
// track with notes; once one is read, "Lied singen" asks for it to be sung, moved by the
// semitones chosen, the octave counting or not.
class SongRow : public QWidget {
    Q_OBJECT
public:
    explicit SongRow(QWidget* parent = nullptr);

    const std::optional<Song>& song() const { return song_; }
    int transpose() const;
    bool strictOctave() const;
    int voice() const { return voice_; } // a duet's; 1 otherwise
    const QString& path() const { return path_; }
    // Reads the song (track: a MIDI file's track with notes, or a duet's voice) and chooses
    // the semitones and the octave; false when it can't be read, which is told.
    bool Load(const QString& path, int track, int transpose, bool strictOctave);
    // The song read, made ready to sing with these settings (its voice, the semitones, the
    // octave free unless it counts; countIn before a melody played for want of audio), and
    // the take as the history will keep it; nullopt with the reason in German.
    std::optional<SongSound::Prepared> Prepare(ExerciseScorer::Settings scoring, int countIn,
                                               TakeHistory::Take& kept, std::string& error) const;

signals:
    void Sing();
    // What became of opening a file, in words (plain text).
    void Told(const QString& text);

private:
    void Open();

    std::optional<Song> song_;
    QString folder_; // where the last song came from
    int voice_ = 1;
    QString path_; // the song's file
    QPushButton* sing_ = nullptr;
    QSpinBox* transpose_ = nullptr;
    QCheckBox* strict_ = nullptr;
};

} // namespace tessmar
