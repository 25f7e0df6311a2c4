#include "platform/qt/QtConvert.h"

#include <gtest/gtest.h>

using namespace qel;

TEST(QtConvert, Windows1252RoundTripsThroughQString) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  QString q = ToQString(all);
  EXPECT_EQ(q.size(), 255);
  EXPECT_EQ(q.at(0x80 - 1), QChar(0x20AC)); // the euro sign
  EXPECT_EQ(FromQString(q), all);
}

TEST(QtConvert, UnmappableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(FromQString(QString::fromUtf8("a\xE2\x82\xAC\xD0\x96" "b")), "a\x80?b");
  EXPECT_EQ(FromQString(QString::fromUtf8("\xF0\x9F\x98\x80")), "?"); // one character, one mark
}

TEST(QtConvert, ColoursKeepRedInTheLowByte) {
  EXPECT_EQ(ToQColor(clRed), QColor(255, 0, 0));
  EXPECT_EQ(ToQColor(0x00123456), QColor(0x56, 0x34, 0x12));
  EXPECT_EQ(FromQColor(QColor(0x56, 0x34, 0x12)), 0x00123456);
  EXPECT_EQ(ToQColor(clNone), QColor(255, 255, 255)); // high byte ignored
}
