#include <gtest/gtest.h>

#include "base/QtText.h"

namespace {

TEST(QtText, Utf8TextsAreReadAsUtf8)
{
    EXPECT_EQ(ToQString("Soci\xC3\xA9t\xC3\xA9 G\xC3\xA9n\xC3\xA9rale"), QString::fromUtf8("Société Générale"));
    EXPECT_EQ(FromQString(QString::fromUtf8("Nestl\u00e9")), "Nestl\xC3\xA9");
}

TEST(QtText, OtherBytesAreReadAsWindows1252)
{
    EXPECT_EQ(ToQString("Soci\xE9t\xE9"), QString::fromUtf8("Société"));
    EXPECT_EQ(ToQString("\x80 5"), QString::fromUtf8("€ 5"));
    EXPECT_EQ(ToQString("\x93quoted\x94"), QString::fromUtf8("“quoted”"));
}

TEST(QtText, EmbeddedNulBytesAreKept)
{
    std::string text("a\0b", 3);
    EXPECT_EQ(ToQString(text).size(), 3);
}

}  // namespace
