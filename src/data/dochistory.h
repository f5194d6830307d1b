// The document's history of edits: what each step changed (the records it touched, before and
// after), the position in the history and the saved state.
#pragma once

#include "calc/correctiontables.h"
#include "data/docchange.h"
#include "data/records.h"

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace tavolin {

// Which records an edit touches; an edit names them before it changes anything.
enum TouchKind : unsigned {
    TouchArea = 1u << 0,     // one test area (member, area)
    TouchMember = 1u << 1,   // one member record (member)
    TouchMembers = 1u << 2,  // every member record
    TouchProject = 1u << 3,  // the project record
    TouchAreaEta = 1u << 4,  // ETA of every area
    TouchStandard = 1u << 5, // the standard index
    TouchTables = 1u << 6,   // the correction tables
    TouchReport = 1u << 7,   // the report texts that copy project texts
};

struct EditTouch {
    unsigned kinds = 0;
    int member = -1;
    int area = -1;
    // Consecutive steps with the same non-zero key and name become one (typing a text field,
    // trying filter settings).
    int mergeKey = 0;
};

// The touched records as they stood at one moment; only the touched ones are held.
struct Records {
    std::shared_ptr<const TestArea> area;
    std::shared_ptr<const MemberInfo> member;
    std::shared_ptr<const std::vector<MemberInfo>> members;
    std::shared_ptr<const ProjectInfo> project;
    std::shared_ptr<const ReportInfo> report;
    std::shared_ptr<const CorrectionTables> tables;
    // Every area's ETA in job order; a single value when they were all equal (the usual case,
    // which keeps a step of a 10,000-area job small).
    std::vector<float> areaEta;
    int standard = -1;
};
bool sameRecords(const Records& a, const Records& b);

struct HistoryStep {
    std::u16string name;
    struct Part {
        EditTouch touch;
        Records before;
        Records after;
    };
    std::vector<Part> parts;
    DocChange change;    // what the observers were told
    bool stored = false; // the edit changed what a file keeps (sets the modified flag)
    int mergeKey = 0;
};

class DocHistory {
public:
    // More steps than this drop the oldest: memory stays bounded however long a session runs.
    static constexpr size_t kMaxSteps = 20000;

    // A fresh job: no steps, the saved state is here.
    void clear();
    bool canUndo() const { return index_ > 0; }
    bool canRedo() const { return index_ < steps_.size(); }
    size_t size() const { return steps_.size(); }
    size_t index() const { return index_; }
    const HistoryStep* undoStep() const { return canUndo() ? &steps_[index_ - 1] : nullptr; }
    const HistoryStep* redoStep() const { return canRedo() ? &steps_[index_] : nullptr; }
    // Move one step; the caller applies the step's records.
    const HistoryStep& stepBack() { return steps_[--index_]; }
    const HistoryStep& stepForward() { return steps_[index_++]; }

    // A finished edit: into the open compound step, else merged with the last step or added
    // (the steps that could be redone are dropped).
    void add(HistoryStep step);

    void markSaved() { saved_ = static_cast<long>(index_); }
    // True when the job is as it was saved: the saved state is reachable and no step between it
    // and here changed what a file keeps.
    bool atSavedState() const;

    // Compound steps: every edit between the outermost begin and end becomes one step.
    void beginCompound(const std::u16string& name);
    void endCompound();
    bool inCompound() const { return depth_ > 0; }

private:
    void push(HistoryStep step);

    std::deque<HistoryStep> steps_;
    size_t index_ = 0;
    long saved_ = 0; // -1: the saved state can no longer be reached
    int depth_ = 0;
    HistoryStep compound_;
};

} // namespace tavolin
