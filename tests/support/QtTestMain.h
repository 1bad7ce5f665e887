// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TempDir.h"

#include <QApplication>
#include <QTest>
#include <cstdlib>
#include <filesystem>

namespace tessmar::test {

// HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR in a fresh temporary folder, so that no test
// reads or writes the user's files.
class IsolatedHome {
public:
    IsolatedHome() {
        for (const char* sub : {"home", "config", "runtime"}) {
            std::filesystem::create_directory(dir_ / sub);
        }
        std::filesystem::permissions(dir_ / "runtime", std::filesystem::perms::owner_all);
        setenv("HOME", (dir_ / "home").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (dir_ / "runtime").c_str(), 1);
    }

private:
    TempDir dir_;
};

} // namespace tessmar::test

#define TESSMAR_QTEST_MAIN(TestClass)                                                              \
    int main(int argc, char** argv) {                                                              \
        tessmar::test::IsolatedHome home;                                                          \
        QApplication app(argc, argv);                                                              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
