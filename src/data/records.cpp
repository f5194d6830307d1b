// Indexed access to the report texts, in the order they are stored in the settings archive.
#include "data/records.h"

#include <stdexcept>

namespace tavolin {

namespace {

template <class R> auto& reportField(R& r, int i) {
    switch (i) {
    case 0:
        return r.projectName;
    case 1:
        return r.testingOrg;
    case 2:
        return r.constructionOrg;
    case 3:
        return r.clientOrg;
    case 4:
        return r.testAge;
    case 5:
        return r.designGrade;
    case 6:
        return r.testBasis;
    case 7:
        return r.spare;
    case 8:
        return r.testDate;
    case 9:
        return r.reportDate;
    case 10:
        return r.commissionNo;
    case 11:
        return r.instrumentNo;
    case 12:
        return r.constructionDate;
    case 13:
        return r.testNo;
    case 14:
        return r.reviewerName;
    case 15:
        return r.calculatorName;
    case 16:
        return r.testerName;
    case 17:
        return r.checkerName;
    case 18:
        return r.fieldRecordRemark;
    case 19:
        return r.resultTableRemark;
    case 20:
        return r.instrumentModel;
    case 21:
        return r.conversionTable;
    default:
        throw std::out_of_range("ReportInfo field index");
    }
}

} // namespace

std::u16string& ReportInfo::field(int i) {
    return reportField(*this, i);
}
const std::u16string& ReportInfo::field(int i) const {
    return reportField(*this, i);
}

} // namespace tavolin
