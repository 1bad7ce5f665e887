// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/notes/ChartRenderer.h"

#include <QImage>
#include <QRgb>
#include <QtGlobal>
#include <memory>

class QGuiApplication;
class QPainter;

namespace tessmar {

class ChartLayout;

// The note chart drawn with Qt's painter, into an image in memory or an SVG generator:
// no window and no display. Text needs Qt's font database, which needs a GUI
// application object; without one the renderer makes its own on the offscreen platform.
// Qt's own notes (a missing runtime folder and the like) are kept off standard error,
// which belongs to the tool's messages, while the renderer lives.
class QtNoteChart final : public ChartRenderer {
public:
    static constexpr QRgb kBackground = 0xffffffff;
    static constexpr QRgb kBarColour = 0xff3a78c2;
    static constexpr QRgb kPitchColour = 0xffe0531f;

    QtNoteChart();
    ~QtNoteChart() override;
    QtNoteChart(const QtNoteChart&) = delete;
    QtNoteChart& operator=(const QtNoteChart&) = delete;

    std::string Render(const Take& take, Format format) override;
    // The chart as a picture, as the PNG file holds it.
    QImage RenderImage(const Take& take);

private:
    void EnsureApplication();
    static void Draw(QPainter& painter, const Take& take, const ChartLayout& layout);

    int argc_ = 3;
    char program_[16] = "tessmar-notes";
    char option_[16] = "-platform";
    char platform_[16] = "offscreen";
    char* argv_[4] = {program_, option_, platform_, nullptr};
    std::unique_ptr<QGuiApplication> application_;
    QtMessageHandler previousHandler_ = nullptr;
};

} // namespace tessmar
