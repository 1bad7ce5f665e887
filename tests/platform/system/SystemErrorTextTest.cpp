// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/system/SystemErrorText.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace tessmar {
namespace {

TEST(SystemErrorText, TheCommonReasonsAreGerman) {
    EXPECT_EQ(SystemErrorText(ENOENT), "Datei oder Ordner nicht vorhanden");
    EXPECT_EQ(SystemErrorText(EACCES), "keine Berechtigung");
    EXPECT_EQ(SystemErrorText(kErrNotRegularFile), "keine gewöhnliche Datei");
    for (const int e : {EPERM, EROFS, ENOSPC, EISDIR, ENAMETOOLONG, ENODEV, EBUSY, EEXIST,
                        ECONNREFUSED, ETIMEDOUT, EPIPE, ENOMEM}) {
        const std::string text = SystemErrorText(e);
        EXPECT_EQ(text.find("Fehler"), std::string::npos) << e << ": " << text;
        EXPECT_NE(text, SystemErrorText(ENOENT));
    }
    // Anything else still says which error it was.
    EXPECT_EQ(SystemErrorText(EXDEV).rfind("Fehler " + std::to_string(EXDEV) + " (", 0), 0u);
    EXPECT_EQ(SystemErrorText(123456), "Fehler 123456");
}

} // namespace
} // namespace tessmar
