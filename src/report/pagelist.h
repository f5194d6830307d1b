// The pages of one print: pages per member, the page total, and page number → table and member.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace tavolin::report {

enum class ReportTable { FieldRecord, Result };

// One page of a print, as the drawing routines need it.
struct PageRef {
    int page = 0; // 1-based number within the whole print
    ReportTable table = ReportTable::FieldRecord;
    int member = 0;       // index into the member list
    int pageInMember = 1; // 1-based
    int tablePage = 1;    // 1-based number within its table
    bool lastMember = false;
    bool finalPage = false; // last page of the last member: the batch lines of the result table
};

class PageList {
public:
    static constexpr int areasPerPage = 10;

    // `areaCounts` holds the number of test areas of each member, in member-list order.
    PageList(const std::vector<std::size_t>& areaCounts, bool fieldRecord, bool resultTable);

    // One page for up to ten areas (also for none), else one per ten areas started.
    static int pagesFor(std::size_t areas);

    bool empty() const { return pageCount() == 0; }
    int pagesPerTable() const { return total_; }
    // Pages of the whole print: one table's pages, both tables' one after the other, or 0.
    int pageCount() const;
    int memberPages(int member) const { return counts_.at(member); }
    bool fieldRecord() const { return fieldRecord_; }
    bool resultTable() const { return resultTable_; }

    // The table, member and page within the member of print page `page` (1-based).
    std::optional<PageRef> locate(int page) const;
    // The same for page `tablePage` of one table, whichever tables the print holds.
    std::optional<PageRef> locateInTable(ReportTable table, int tablePage) const;

private:
    std::vector<int> counts_;
    std::vector<int> runningSums_; // pages up to and including each member
    int total_ = 0;
    bool fieldRecord_ = false;
    bool resultTable_ = false;
};

} // namespace tavolin::report
