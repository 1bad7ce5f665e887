// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/notes/Take.h"

#include <string>

namespace tessmar {

// Draws the note chart of a take as the content of an image file. The note log itself
// stays free of any drawing library; tessmar-notes hands it Qt's painter.
class ChartRenderer {
public:
    enum class Format { Png, Svg };

    virtual ~ChartRenderer() = default;
    // The bytes of the image file; empty when it could not be drawn.
    virtual std::string Render(const Take& take, Format format) = 0;
};

} // namespace tessmar
