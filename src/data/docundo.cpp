// CTavolinDoc: the history of edits. Each edit names the records it touches before it changes
// them; the change funnel files the step with those records before and after; undo and redo put
// records back and then take the same path as an edit (recompute, notify, modified flag).
#include "data/doc.h"

#include "data/labels.h"

namespace tavolin {

namespace {

// Steps of more areas than this recompute the whole job once instead of area by area.
constexpr size_t kAreaByArea = 8;

} // namespace

void CTavolinDoc::record(const char16_t* name, const EditTouch& touch) {
    pending_ = PendingStep{name, touch, capture(touch)};
}

void CTavolinDoc::fileStep(const DocChange& change, bool stored) {
    if (!pending_.name)
        return;
    PendingStep pending = std::move(pending_);
    pending_ = {};
    Records after = capture(pending.touch);
    // An edit that left every record as it was (the same value typed again) is no step.
    if (sameRecords(pending.before, after))
        return;
    HistoryStep step{pending.name, {}, change, stored, pending.touch.mergeKey};
    step.parts.push_back({pending.touch, std::move(pending.before), std::move(after)});
    history_.add(std::move(step));
}

Records CTavolinDoc::capture(const EditTouch& touch) const {
    Records r;
    if (touch.kinds & TouchArea)
        if (const TestArea* a = area(touch.member, touch.area))
            r.area = std::make_shared<const TestArea>(*a);
    if (touch.kinds & TouchMember)
        if (const MemberInfo* m = member(touch.member))
            r.member = std::make_shared<const MemberInfo>(*m);
    if (touch.kinds & TouchMembers)
        r.members = std::make_shared<const std::vector<MemberInfo>>(job_.members);
    if (touch.kinds & TouchProject)
        r.project = std::make_shared<const ProjectInfo>(job_.project);
    if (touch.kinds & TouchReport)
        r.report = std::make_shared<const ReportInfo>(report_);
    if (touch.kinds & TouchTables)
        r.tables = std::make_shared<const CorrectionTables>(tables_);
    if (touch.kinds & TouchStandard)
        r.standard = standard_;
    if (touch.kinds & TouchAreaEta) {
        bool uniform = true;
        for (const AreaList& areas : job_.areas)
            for (const TestArea& a : areas) {
                uniform = uniform && (r.areaEta.empty() || a.ETA == r.areaEta.front());
                r.areaEta.push_back(a.ETA);
            }
        if (uniform && !r.areaEta.empty())
            r.areaEta.resize(1);
    }
    return r;
}

void CTavolinDoc::restore(const EditTouch& touch, const Records& r) {
    if (r.area)
        if (TestArea* a = editableArea(touch.member, touch.area))
            *a = *r.area;
    if (r.member && member(touch.member))
        job_.members[static_cast<size_t>(touch.member)] = *r.member;
    if (r.members && r.members->size() == job_.members.size())
        job_.members = *r.members;
    if (r.project)
        job_.project = *r.project;
    if (r.report)
        report_ = *r.report;
    if (r.tables)
        tables_ = *r.tables;
    if ((touch.kinds & TouchStandard) && r.standard >= 0 && r.standard != standard_) {
        standard_ = standardCopy_ = r.standard;
        makeAlgorithm();
        report_.testBasis = standardReportName(standard_);
    }
    if (!r.areaEta.empty()) {
        size_t i = 0;
        for (AreaList& areas : job_.areas)
            for (TestArea& a : areas) {
                a.ETA = r.areaEta.size() == 1 ? r.areaEta.front()
                                              : (i < r.areaEta.size() ? r.areaEta[i] : a.ETA);
                ++i;
            }
    }
}

void CTavolinDoc::replay(const HistoryStep& step, bool forward) {
    const size_t n = step.parts.size();
    bool whole = n > kAreaByArea;
    bool samples = false;
    for (size_t i = 0; i < n; ++i) {
        const HistoryStep::Part& part = step.parts[forward ? i : n - 1 - i];
        const Records& to = forward ? part.after : part.before;
        const Records& from = forward ? part.before : part.after;
        restore(part.touch, to);
        whole = whole || (part.touch.kinds &
                          (TouchMembers | TouchAreaEta | TouchStandard | TouchTables)) != 0;
        if (to.area && from.area)
            for (size_t p = 0; p < to.area->points.size(); ++p)
                samples =
                    samples || !to.area->points[p].samples.sharesWith(from.area->points[p].samples);
    }
    if (whole) {
        computeAll();
    } else {
        for (const HistoryStep::Part& part : step.parts) {
            if (part.touch.kinds & TouchArea)
                recomputeArea(part.touch.member, part.touch.area, true);
            else if (part.touch.kinds & TouchMember)
                recomputeMember(part.touch.member);
        }
    }

    // The user sees what was taken back: the step's member and area become the current ones.
    const DocChange& c = step.change;
    if (c.member >= 0 && member(c.member) &&
        (c.member != currentMember_ || (c.area >= 0 && c.area != currentArea_))) {
        if (c.member != currentMember_)
            selectedPoint_ = 0;
        currentArea_ = c.area >= 0 ? c.area : (c.member != currentMember_ ? 0 : currentArea_);
        currentMember_ = c.member;
        notifyAreaChanged();
    }
    setModified(!history_.atSavedState());
    // A copy, so an observer may detach itself while being notified.
    const std::vector<DocObserver*> observers = observers_;
    for (DocObserver* o : observers) {
        if (samples)
            o->samplesChanged();
        o->jobChanged(c);
    }
}

std::u16string CTavolinDoc::undoName() const {
    const HistoryStep* step = history_.undoStep();
    return step ? step->name : std::u16string();
}

std::u16string CTavolinDoc::redoName() const {
    const HistoryStep* step = history_.redoStep();
    return step ? step->name : std::u16string();
}

void CTavolinDoc::undo() {
    // An open compound step is finished first, so that it is what goes back.
    while (history_.inCompound())
        history_.endCompound();
    if (isOpen() && history_.canUndo())
        replay(history_.stepBack(), false);
}

void CTavolinDoc::redo() {
    while (history_.inCompound())
        history_.endCompound();
    if (isOpen() && history_.canRedo())
        replay(history_.stepForward(), true);
}

void CTavolinDoc::beginCompoundEdit(const std::u16string& name) {
    history_.beginCompound(name);
}

void CTavolinDoc::endCompoundEdit() {
    history_.endCompound();
}

} // namespace tavolin
