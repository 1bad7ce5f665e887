// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDialog>

class QLabel;
class QPushButton;

namespace tessmar {

class ScreenMetrics;
class Shell;
class TPanel;

// The About window: picture, title, information about the program and its web address.
// Created hidden at program start and shown modally from the main window.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 664;
    static constexpr int kClientHeight = 453;
    static constexpr const char* kWebAddress = "https://tessmar.example.org/";

    // picture: JPEG data for the picture area (the built-in one by default); a broken one
    // leaves the area empty. year replaces the notice label's first "XXXX".
    TAboutBox(Shell& shell, ScreenMetrics& screen, const QByteArray& picture, int year,
              QWidget* parent = nullptr);
    TAboutBox(Shell& shell, ScreenMetrics& screen, QWidget* parent = nullptr);

    static QByteArray BuiltInPicture();

    void WebBtnClick(QObject* Sender);
    void OKButtonClick(QObject* Sender);

    TPanel* Panel1{};
    QLabel* ProgramIcon{};
    QLabel* ProductName{};
    QLabel* Version{};
    QLabel* Comments{};
    QLabel* Features{};
    QLabel* Copyright{}; // the notice label
    QPushButton* WebBtn{};
    QPushButton* OKButton{};

public slots:
    void setVisible(bool visible) override;

private:
    QLabel* AddText(const char* name, const QString& text, int top, int height);

    ScreenMetrics& screen_;
    Shell& shell_;
};

} // namespace tessmar
