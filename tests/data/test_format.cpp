// Display formats: fixed decimals in the C locale, range texts, status and rule texts.
#include "data/format.h"

#include <gtest/gtest.h>

#include <clocale>

using namespace tavolin;

TEST(Format, NumbersAndRanges) {
    EXPECT_EQ(formatFixed(25.065f, 1), u"25.1");
    EXPECT_EQ(formatFixed(7.0710678f, 2), u"7.07");
    EXPECT_EQ(formatInt(-45), u"-45");
    EXPECT_EQ(formatAreaStrength(10.0f, 0), u"10.0");
    EXPECT_EQ(formatAreaStrength(9.99f, 0), u"<10MPa");
    EXPECT_EQ(formatAreaStrength(70.01f, 0), u">70MPa");
    EXPECT_EQ(formatAreaStrength(9.99f, 1), u"10.0");
    EXPECT_EQ(formatAreaStrength(70.01f, 1), u"70.0");
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) { // a decimal-comma locale, when installed
        EXPECT_EQ(formatFixed(3.25f, 2), u"3.25");
        std::setlocale(LC_NUMERIC, "C");
    }
}

TEST(Format, StatusAndRuleTexts) {
    const std::u16string ruleTb =
        u"平均值<25.0且标准差>4.5、平均值>25.0且标准差>5.5,该批构件应全部重新按单个构件检测";
    const std::u16string ruleCecs =
        u"平均值<25.0且标准差>4.5、平均值<50.0且标准差>5.5、平均值>50.0且标准差>6.5,"
        u"该批构件应全部重新按单个构件检测";
    using M = EstimateMedium;
    using O = EstimateOf;
    const struct {
        float value;
        EstimateStatus status;
        O of;
        int standard;
        std::u16string panel, report;
    } cases[] = {
        {25.065f, Valid, O::Member, 0, u"25.1", u"fcue = 25.1Mpa"},
        {0.0f, Below10, O::Member, 0, u"<10.0MPa", u"fcue < 10 Mpa"},
        {72.0f, Above70, O::Member, 0, u">70.0MPa", u"fcue > 70 Mpa"},
        {0.0f, NoData, O::Member, 0, u"输入有误！", u"输入有误！"},
        {0.0f, RetestMembers, O::Member, 1, u"输入有误！", u"输入有误！"},
        {21.775f, Valid, O::Batch, 1, u"21.8", u"fcue = 21.8Mpa"},
        // A valid TB batch below 10 is a figure, not the CECS limit text.
        {8.04f, Valid, O::Batch, 1, u"8.0", u"fcue = 8.0Mpa"},
        {0.0f, NoData, O::Batch, 1, u"输入有误！", u"输入有误！"},
        {0.0f, RetestMembers, O::Batch, 1, ruleTb, ruleTb},
        {0.0f, RetestMembers, O::Batch, 0, ruleCecs, ruleCecs},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(estimateText(c.value, c.status, c.of, c.standard), c.panel);
        EXPECT_EQ(estimateText(c.value, c.status, c.of, c.standard, M::Report), c.report);
    }
    EXPECT_EQ(retestRuleText(2), u"");
    EXPECT_EQ(standardReportName(0), u"CECS 02：2005");
    EXPECT_EQ(standardReportName(1), u"TB10426-2004");
    EXPECT_EQ(standardReportName(-1), u"");
}
