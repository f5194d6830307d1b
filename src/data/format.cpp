// Display formats of every number the user sees, written in the C locale whatever the process uses.
#include "data/format.h"

#include <clocale>
#include <cstdio>
#include <locale.h>

namespace tavolin {

namespace {

// Formats with the "C" numeric conventions on this thread only, so a user locale with a decimal
// comma can never change a saved or printed figure.
template <class... Args> std::u16string cFormat(const char* format, Args... args) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    locale_t previous = cLocale ? uselocale(cLocale) : locale_t(0);
    char buffer[512];
    int n = std::snprintf(buffer, sizeof buffer, format, args...);
    if (previous)
        uselocale(previous);
    std::u16string out;
    if (n <= 0)
        return out;
    if (n >= static_cast<int>(sizeof buffer))
        n = static_cast<int>(sizeof buffer) - 1;
    out.reserve(n);
    for (int i = 0; i < n; ++i)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(buffer[i])));
    return out;
}

} // namespace

std::u16string formatFixed(float value, int decimals) {
    if (decimals < 0)
        decimals = 0;
    if (decimals > 20)
        decimals = 20;
    return cFormat("%.*f", decimals, static_cast<double>(value));
}

std::u16string formatInt(int value) {
    return cFormat("%d", value);
}

std::u16string formatAreaStrength(float fcui, int standard) {
    return standard == 0 ? formatStrengthLimited(fcui) : formatFixed(fcui, 1);
}

std::u16string formatStrengthLimited(float fcui) {
    if (fcui < 10.0f)
        return u"<10MPa";
    if (fcui > 70.0f)
        return u">70MPa";
    return formatFixed(fcui, 1);
}

std::u16string estimateText(float value, EstimateStatus status, EstimateOf of, int standard,
                            EstimateMedium medium) {
    const bool report = medium == EstimateMedium::Report;
    switch (status) {
    case Valid:
        return report ? u"fcue = " + formatFixed(value, 1) + u"Mpa" : formatFixed(value, 1);
    case Below10:
        return report ? u"fcue < 10 Mpa" : u"<10.0MPa";
    case Above70:
        return report ? u"fcue > 70 Mpa" : u">70.0MPa";
    case RetestMembers:
        if (of == EstimateOf::Batch)
            return retestRuleText(standard);
        return u"输入有误！";
    case NoData:
    default:
        return u"输入有误！";
    }
}

std::u16string retestRuleText(int standard) {
    switch (standard) {
    case 0:
        return u"平均值<25.0且标准差>4.5、平均值<50.0且标准差>5.5、平均值>50.0且标准差>6.5,"
               u"该批构件应全部重新按单个构件检测";
    case 1:
        return u"平均值<25.0且标准差>4.5、平均值>25.0且标准差>5.5,该批构件应全部重新按单个构件检测";
    default:
        return u"";
    }
}

const char* statusName(EstimateStatus status) {
    switch (status) {
    case Valid:
        return "Valid";
    case Below10:
        return "Below10";
    case RetestMembers:
        return "RetestMembers";
    case NoData:
        return "NoData";
    case Above70:
        return "Above70";
    }
    return "Unknown";
}

} // namespace tavolin
