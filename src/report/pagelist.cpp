// Page list of a print: the running sums of the members' page counts.
#include "report/pagelist.h"

#include <algorithm>

namespace tavolin::report {

PageList::PageList(const std::vector<std::size_t>& areaCounts, bool fieldRecord, bool resultTable)
    : fieldRecord_(fieldRecord), resultTable_(resultTable) {
    counts_.reserve(areaCounts.size());
    runningSums_.reserve(areaCounts.size());
    for (std::size_t n : areaCounts) {
        counts_.push_back(pagesFor(n));
        total_ += counts_.back();
        runningSums_.push_back(total_);
    }
}

int PageList::pagesFor(std::size_t areas) {
    if (areas <= static_cast<std::size_t>(areasPerPage))
        return 1;
    return static_cast<int>((areas + areasPerPage - 1) / areasPerPage);
}

int PageList::pageCount() const {
    return (fieldRecord_ ? total_ : 0) + (resultTable_ ? total_ : 0);
}

std::optional<PageRef> PageList::locate(int page) const {
    if (page < 1 || page > pageCount())
        return std::nullopt;
    std::optional<PageRef> ref;
    if (fieldRecord_ && page <= total_)
        ref = locateInTable(ReportTable::FieldRecord, page);
    else
        ref = locateInTable(ReportTable::Result, fieldRecord_ ? page - total_ : page);
    if (ref)
        ref->page = page;
    return ref;
}

std::optional<PageRef> PageList::locateInTable(ReportTable table, int tablePage) const {
    if (tablePage < 1 || tablePage > total_)
        return std::nullopt;
    // The first member at which the running sum reaches the page.
    const auto it = std::lower_bound(runningSums_.begin(), runningSums_.end(), tablePage);
    PageRef ref;
    ref.table = table;
    ref.member = static_cast<int>(it - runningSums_.begin());
    ref.pageInMember = counts_[ref.member] - *it + tablePage;
    ref.tablePage = tablePage;
    ref.lastMember = ref.member + 1 == static_cast<int>(counts_.size());
    ref.finalPage = ref.lastMember && ref.pageInMember == counts_[ref.member];
    const bool both = fieldRecord_ && resultTable_;
    ref.page = (both && table == ReportTable::Result) ? total_ + tablePage : tablePage;
    return ref;
}

} // namespace tavolin::report
