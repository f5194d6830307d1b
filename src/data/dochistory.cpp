// The history of edits: adding, merging and compounding steps, and where the saved state is.
#include "data/dochistory.h"

#include <algorithm>
#include <cstring>

namespace tavolin {

namespace {

template <class T>
bool samePtr(const std::shared_ptr<const T>& a, const std::shared_ptr<const T>& b) {
    if (!a || !b)
        return !a && !b;
    return a == b || *a == *b;
}

bool sameTables(const std::shared_ptr<const CorrectionTables>& a,
                const std::shared_ptr<const CorrectionTables>& b) {
    if (!a || !b)
        return !a && !b;
    // Plain float arrays: the bytes are the tables.
    return a == b || std::memcmp(a.get(), b.get(), sizeof(CorrectionTables)) == 0;
}

DocChange unite(const DocChange& a, const DocChange& b) {
    DocChange c;
    c.member = a.member == b.member ? a.member : -1;
    c.area = c.member >= 0 && a.area == b.area ? a.area : -1;
    c.fields = a.fields | b.fields;
    return c;
}

bool changesNothing(const HistoryStep& step) {
    return std::all_of(step.parts.begin(), step.parts.end(),
                       [](const HistoryStep::Part& p) { return sameRecords(p.before, p.after); });
}

} // namespace

bool sameRecords(const Records& a, const Records& b) {
    return samePtr(a.area, b.area) && samePtr(a.member, b.member) &&
           samePtr(a.members, b.members) && samePtr(a.project, b.project) &&
           samePtr(a.report, b.report) && sameTables(a.tables, b.tables) &&
           a.areaEta == b.areaEta && a.standard == b.standard;
}

void DocHistory::clear() {
    steps_.clear();
    index_ = 0;
    saved_ = 0;
    depth_ = 0;
    compound_ = {};
}

bool DocHistory::atSavedState() const {
    if (saved_ < 0)
        return false;
    const size_t saved = static_cast<size_t>(saved_);
    const size_t lo = std::min(saved, index_);
    const size_t hi = std::max(saved, index_);
    for (size_t i = lo; i < hi; ++i)
        if (steps_[i].stored)
            return false;
    return true;
}

void DocHistory::add(HistoryStep step) {
    if (depth_ > 0) {
        compound_.change =
            compound_.parts.empty() ? step.change : unite(compound_.change, step.change);
        compound_.stored = compound_.stored || step.stored;
        for (HistoryStep::Part& part : step.parts)
            compound_.parts.push_back(std::move(part));
        return;
    }
    // Typing into a text field stores every keystroke: one step for the run, not one per key,
    // but never across a save, so that undo can return to the saved text.
    if (step.mergeKey != 0 && index_ > 0 && index_ == steps_.size() &&
        saved_ != static_cast<long>(index_)) {
        HistoryStep& top = steps_.back();
        if (top.mergeKey == step.mergeKey && top.name == step.name && top.parts.size() == 1 &&
            step.parts.size() == 1) {
            top.parts.front().after = std::move(step.parts.front().after);
            top.stored = top.stored || step.stored;
            top.change = unite(top.change, step.change);
            if (changesNothing(top)) {
                steps_.pop_back();
                --index_;
            }
            return;
        }
    }
    push(std::move(step));
}

void DocHistory::push(HistoryStep step) {
    if (step.parts.empty())
        return;
    if (saved_ > static_cast<long>(index_))
        saved_ = -1; // the saved state was among the dropped redo steps
    steps_.erase(steps_.begin() + static_cast<long>(index_), steps_.end());
    steps_.push_back(std::move(step));
    ++index_;
    if (steps_.size() > kMaxSteps) {
        steps_.pop_front();
        --index_;
        saved_ = saved_ > 0 ? saved_ - 1 : -1;
    }
}

void DocHistory::beginCompound(const std::u16string& name) {
    if (depth_++ == 0)
        compound_ = HistoryStep{name, {}, {}, false, 0};
}

void DocHistory::endCompound() {
    if (depth_ == 0)
        return;
    if (--depth_ == 0) {
        HistoryStep step = std::move(compound_);
        compound_ = {};
        if (!changesNothing(step))
            push(std::move(step));
    }
}

} // namespace tavolin
