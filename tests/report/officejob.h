// Jobs and table look-ups for the office file tests.
#pragma once

#include "data/records.h"
#include "report/officetable.h"

#include <QString>

#include <initializer_list>
#include <optional>
#include <tuple>

namespace officetest {

// Members with the given numbers of areas; member m is SI m, "梁m"; area k of a member has
// readings 30 + (k + j) % 10, L 254.6 + k, point times 60.3 + j and FCUI 30.0 + k.
inline tavolin::JobData makeJob(std::initializer_list<int> areaCounts) {
    tavolin::JobData job;
    int m = 0;
    for (int n : areaCounts) {
        tavolin::MemberInfo member;
        member.SI = m;
        member.PILEID = u"梁" + std::u16string(1, char16_t(u'1' + m));
        job.members.push_back(member);
        tavolin::AreaList areas(static_cast<size_t>(n));
        for (int k = 0; k < n; ++k) {
            tavolin::TestArea& a = areas[k];
            for (int j = 0; j < 16; ++j)
                a.R[j] = 30 + (k + j) % 10;
            for (int j = 0; j < 3; ++j) {
                a.points[j].L = 254.6f + k;
                a.pointTime[j] = 60.3f + j;
            }
            a.FCUI = 30.0f + k;
        }
        job.areas.push_back(std::move(areas));
        ++m;
    }
    job.memberCount = m;
    return job;
}

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
