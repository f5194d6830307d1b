// Display formats: fixed decimals in the C locale, range texts, status texts, rule texts.
#include "data/format.h"

#include <gtest/gtest.h>

#include <clocale>

using namespace tavolin;

TEST(Format, FixedAndIntegers) {
    EXPECT_EQ(formatFixed(25.065f, 1), u"25.1");
    EXPECT_EQ(formatFixed(4.136f, 3), u"4.136");
    EXPECT_EQ(formatFixed(7.0710678f, 2), u"7.07");
    EXPECT_EQ(formatFixed(0.0f, 1), u"0.0");
    EXPECT_EQ(formatFixed(-2.5f, 1), u"-2.5");
    EXPECT_EQ(formatInt(-45), u"-45");
    EXPECT_EQ(formatInt(0), u"0");
}

TEST(Format, DecimalPointIgnoresTheProcessLocale) {
    const char* set = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    if (!set)
        set = std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    if (!set)
        GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_EQ(formatFixed(3.25f, 2), u"3.25");
    std::setlocale(LC_NUMERIC, "C");
}

TEST(Format, AreaStrengthRanges) {
    EXPECT_EQ(formatAreaStrength(10.0f, 0), u"10.0");
    EXPECT_EQ(formatAreaStrength(9.99f, 0), u"<10MPa");
    EXPECT_EQ(formatAreaStrength(70.01f, 0), u">70MPa");
    EXPECT_EQ(formatAreaStrength(70.0f, 0), u"70.0");
    EXPECT_EQ(formatAreaStrength(9.99f, 1), u"10.0");
    EXPECT_EQ(formatAreaStrength(70.01f, 1), u"70.0");
    EXPECT_EQ(formatAreaStrength(0.0f, 1), u"0.0");
}

TEST(Format, EstimateTextsByStatus) {
    EXPECT_EQ(formatMemberEstimate(25.065f, Valid), u"25.1");
    EXPECT_EQ(formatMemberEstimate(0.0f, Below10), u"<10.0MPa");
    EXPECT_EQ(formatMemberEstimate(72.0f, Above70), u">70.0MPa");
    EXPECT_EQ(formatMemberEstimate(0.0f, NoData), u"输入有误！");
    EXPECT_EQ(formatMemberEstimate(0.0f, RetestMembers), u"输入有误！");

    EXPECT_EQ(formatBatchEstimate(21.775f, Valid, 1), u"21.8");
    EXPECT_EQ(formatBatchEstimate(5.0f, Below10, 0), u"<10.0MPa");
    EXPECT_EQ(formatBatchEstimate(0.0f, NoData, 1), u"输入有误！");
    EXPECT_EQ(formatBatchEstimate(0.0f, RetestMembers, 1),
              u"平均值<25.0且标准差>4.5、平均值>25.0且标准差>5.5,该批构件应全部重新按单个构件检测");
    EXPECT_EQ(formatBatchEstimate(0.0f, RetestMembers, 0), retestRuleText(0));
    EXPECT_EQ(formatBatchEstimate(0.0f, RetestMembers, 5), u"");
}

TEST(Format, RuleTextsAndStandardNames) {
    // The CECS text states the three bands the batch rule computes.
    const std::u16string cecs = retestRuleText(0);
    for (const char16_t* band :
         {u"平均值<25.0且标准差>4.5", u"平均值<50.0且标准差>5.5", u"平均值>50.0且标准差>6.5"})
        EXPECT_NE(cecs.find(band), std::u16string::npos) << "missing band";
    EXPECT_NE(cecs.find(u"该批构件应全部重新按单个构件检测"), std::u16string::npos);
    EXPECT_EQ(retestRuleText(2), u"");

    EXPECT_EQ(standardReportName(0), u"CECS 02：2005");
    EXPECT_EQ(standardReportName(1), u"TB10426-2004");
    EXPECT_EQ(standardReportName(-1), u"");
    EXPECT_STREQ(statusName(RetestMembers), "RetestMembers");
    EXPECT_STREQ(statusName(Above70), "Above70");
}
