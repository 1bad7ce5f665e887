// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/desktop/MessageBox.h"
#include "platform/desktop/SaveDialog.h"
#include "platform/desktop/ScreenMetrics.h"
#include "platform/desktop/Shell.h"

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tessmar::test {

struct ShownMessage {
    QString caption;
    QString text;
};

// whileShown runs while a box is up (a signal arriving then, say); the box then closes.
class FakeMessageBox : public MessageBox {
public:
    void ShowError(QWidget*, const std::string& caption, const std::string& text) override {
        shown.push_back({QString::fromStdString(caption), QString::fromStdString(text)});
        if (whileShown) {
            whileShown();
        }
    }
    // Records the question; answers `answerYes`.
    bool AskYesNo(QWidget*, const std::string& caption, const std::string& text) override {
        asked.push_back({QString::fromStdString(caption), QString::fromStdString(text)});
        if (whileShown) {
            whileShown();
        }
        return answerYes;
    }
    std::vector<ShownMessage> shown;
    std::vector<ShownMessage> asked;
    bool answerYes = false;
    std::function<void()> whileShown;
};

// Answers with `answer` (nullopt: cancelled) and records what it was asked. whileShown
// runs while the dialog is up; when it returns true, the dialog was closed as cancelled
// (as a signal closes it) and answers nullopt.
class FakeSaveDialog : public SaveDialog {
public:
    std::optional<std::string> Run(QWidget*, const Request& r) override {
        requests.push_back(r);
        if (whileShown && whileShown()) {
            return std::nullopt;
        }
        return answer;
    }
    std::optional<std::string> answer;
    std::vector<Request> requests;
    std::function<bool()> whileShown;
};

class FakeShell : public Shell {
public:
    void Open(const std::string& address) override { opened.push_back(address); }
    std::vector<std::string> opened;
};

class FakeScreen : public ScreenMetrics {
public:
    int ScreenWidth() const override { return width; }
    int ScreenHeight() const override { return height; }
    int PixelsPerInch() const override { return ppi; }
    ScreenRect WorkArea() const override { return {0, 0, width, height}; }
    bool WindowsPlaceable() const override { return placeable; }
    int width = 1024;
    int height = 768;
    int ppi = 96;
    bool placeable = true; // false: a Wayland compositor places the windows
};

} // namespace tessmar::test
