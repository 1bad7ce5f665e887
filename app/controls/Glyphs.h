// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

namespace tessmar {

// The pictures on the glyph buttons, drawn here at 16 × 16 (times scale). Each icon
// carries its own disabled look: the glyph's shape embossed in grey.
class Glyphs {
public:
    static QIcon DoubleTick(double scale); // start: green double tick
    static QIcon Tick(double scale);       // OK: green tick
    static QIcon Cross(double scale);      // cancel: red cross
    static QIcon Picture(double scale);    // About: a small coloured picture
    static QIcon Play(double scale);       // playback: black triangle
    static QIcon Folder(double scale);     // browse: yellow folder
    static QIcon Globe(double scale);      // web address
};

} // namespace tessmar
