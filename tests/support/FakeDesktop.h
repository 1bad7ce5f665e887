#pragma once

#include "platform/MessageBox.h"
#include "platform/SaveDialog.h"
#include "platform/ScreenMetrics.h"
#include "platform/Shell.h"

#include <QString>
#include <optional>
#include <string>
#include <vector>

namespace tessmar::test {

struct ShownMessage {
    QString caption;
    QString text;
};

class FakeMessageBox : public MessageBox {
public:
    void ShowError(QWidget*, const QString& caption, const QString& text) override {
        shown.push_back({caption, text});
    }
    std::vector<ShownMessage> shown;
};

// Answers with `answer` (nullopt: cancelled) and records what it was asked.
class FakeSaveDialog : public SaveDialog {
public:
    std::optional<std::string> Run(QWidget*, const Request& r) override {
        requests.push_back(r);
        return answer;
    }
    std::optional<std::string> answer;
    std::vector<Request> requests;
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
    int width = 1024;
    int height = 768;
    int ppi = 96;
};

} // namespace tessmar::test
