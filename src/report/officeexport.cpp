// Joins the office layouts to the .docx and .xlsx writers.
#include "report/officeexport.h"

#include "report/officelayout.h"
#include "report/xlsxfile.h"

#include <algorithm>
#include <cmath>

namespace tavolin::report {

namespace {

int millimetresToTwips(int mm) {
    return static_cast<int>(std::lround(std::clamp(mm, 0, 100) * 1440.0 / 25.4));
}

} // namespace

QString noTableChosenMessage() {
    return QStringLiteral("请选择要打印的内容");
}

DocxPage wordPage(const PrintSettings& print) {
    DocxPage page;
    page.marginTop = millimetresToTwips(print.marginTop);
    page.marginBottom = millimetresToTwips(print.marginBottom);
    page.marginLeft = millimetresToTwips(print.marginLeft);
    page.marginRight = millimetresToTwips(print.marginRight);
    page.fontFamily = QStringLiteral("宋体");
    page.textPointSizes = {kFieldRecordTextPoints, kResultTextPoints};
    return page;
}

QString exportWord(const QString& path, const ReportSource& source) {
    const PrintSettings& print = source.print;
    if (!print.printFieldRecord && !print.printResultTable)
        return noTableChosenMessage();
    const std::vector<WordTableRef> plan =
        wordTablePlan(source.job, print.printFieldRecord != 0, print.printResultTable != 0);
    return writeDocx(path, wordPage(print), static_cast<int>(plan.size()),
                     [&](int i) { return wordTable(source, plan[i]); });
}

QString exportExcel(const QString& path, const JobData& job) {
    return writeXlsx(path, excelRows(job), 9.0);
}

} // namespace tavolin::report
