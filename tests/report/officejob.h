// Jobs and table look-ups for the office file tests.
#pragma once

#include "data/jobeval.h"
#include "data/records.h"
#include "report/officetable.h"
#include "report/reportpages.h"
#include "support/jobbuilder.h"

#include <QString>

#include <initializer_list>
#include <optional>
#include <tuple>

namespace officetest {

// Members with the given numbers of areas, named "梁1", "梁2", …; area k of a member has
// readings 30 + (k + j) % 10, L 254.6 + k, point times 60.3 + j and FCUI 30.0 + k.
inline tavolin::JobData makeJob(std::initializer_list<int> areaCounts) {
    tavolin::testing::JobBuilder builder;
    int m = 0;
    for (int n : areaCounts) {
        builder.member(u"梁" + std::u16string(1, char16_t(u'1' + m++)));
        for (int k = 0; k < n; ++k) {
            std::array<int, 16> readings{};
            for (int j = 0; j < 16; ++j)
                readings[j] = 30 + (k + j) % 10;
            builder.area(readings);
            tavolin::TestArea& a = builder.lastArea();
            for (int j = 0; j < 3; ++j) {
                a.points[j].L = 254.6f + k;
                a.pointTime[j] = 60.3f + j;
            }
            a.FCUI = 30.0f + k;
        }
    }
    return builder.build();
}

// A job with what the reports read beside it: its evaluation (given by each test, worked out by
// hand), the standard, the print settings and the head texts.
struct Reported {
    tavolin::JobData job;
    tavolin::JobEvaluation evaluation;
    int standard = 0;
    tavolin::PrintSettings print;
    tavolin::ReportInfo info;

    explicit Reported(tavolin::JobData j = {}) : job(std::move(j)) {
        evaluation.members.resize(job.members.size());
        print.printFieldRecord = print.printResultTable = 1;
    }
    tavolin::report::ReportSource source() const {
        return {job, evaluation, standard, print, info};
    }
};

// (rowSpan, columnSpan, text) of the cell anchored at 1-based (row, column), as the tables of
// the report are written down.
using Anchored = std::tuple<int, int, QString>;
inline std::optional<Anchored> at(const tavolin::report::OfficeTable& t, int row, int column) {
    for (const auto& c : t.cells)
        if (c.row == row - 1 && c.column == column - 1)
            return Anchored{c.rowSpan, c.columnSpan, c.text};
    return std::nullopt;
}

} // namespace officetest
