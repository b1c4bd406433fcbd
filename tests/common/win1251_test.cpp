#include "common/win1251.h"

#include <gtest/gtest.h>

TEST(Win1251, CharactersWithoutAByteBecomeQuestionMarksLikeTheOldProgramsStrings)
{
    const QString text = QStringLiteral("Таксі ґ № € 中 ✓");
    const QByteArray bytes = win1251::fromUnicode(text);
    EXPECT_EQ(win1251::toUnicode(bytes), QStringLiteral("Таксі ґ № € ? ?"));
    EXPECT_FALSE(bytes.contains('\x1a'));
    EXPECT_TRUE(win1251::representable(QStringLiteral("Крем'янецька №5")));
    EXPECT_FALSE(win1251::representable(text));
}
