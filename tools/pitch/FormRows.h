// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <initializer_list>

// Small makers for the rows of settings in tessmar-pitch's window.
namespace tessmar::form {

inline QComboBox* Choices(QWidget* parent, std::initializer_list<const char*> texts) {
    auto* box = new QComboBox(parent);
    for (const char* text : texts) {
        box->addItem(QString::fromUtf8(text));
    }
    return box;
}

inline QSpinBox* Number(QWidget* parent, int low, int high, const char* suffix) {
    auto* box = new QSpinBox(parent);
    box->setRange(low, high);
    box->setSuffix(QString::fromUtf8(suffix));
    return box;
}

// A label with its buddy, so that Alt and the letter reach the control.
inline void Add(QBoxLayout* row, QWidget* parent, const char* text, QWidget* control) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setBuddy(control);
    row->addWidget(label);
    row->addWidget(control);
}

} // namespace tessmar::form
