// CTavolinDoc: the single owner of one job, its algorithm, tables, report records and navigation.
#pragma once

#include "calc/algorithm.h"
#include "calc/correctiontables.h"
#include "data/corefile.h"
#include "data/curvelibrary.h"
#include "data/datafile.h"
#include "data/docchange.h"
#include "data/doceditor.h"
#include "data/dochistory.h"
#include "data/jobeval.h"
#include "data/records.h"
#include "data/settings.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tavolin {

// Views learn of changes through this interface; every call has a do-nothing default.
class DocObserver {
public:
    virtual ~DocObserver() = default;
    virtual void areaChanged() {}         // navigation moved to another area or member
    virtual void samplesChanged() {}      // the filter replaced the current area's samples
    virtual void contentsReplaced() {}    // a file was opened: everything is new
    virtual void modifiedChanged(bool) {} // the modified flag changed
    virtual void titleChanged(const std::u16string&) {}
    virtual void notice(const std::u16string&) {} // a message to show at once
    // An edit changed records of the job; their derived values and the evaluation are already
    // recomputed when this is called.
    virtual void jobChanged(const DocChange&) {}
};

class CTavolinDoc : public DocEditor {
public:
    static inline const std::u16string baseTitle = u"超声回弹综合法测强软件   Tavolin";

    CTavolinDoc();
    ~CTavolinDoc();
    CTavolinDoc(const CTavolinDoc&) = delete;
    CTavolinDoc& operator=(const CTavolinDoc&) = delete;

    void addObserver(DocObserver* observer);
    void removeObserver(DocObserver* observer);

    // --- the job ---
    // Views hold a const reference to the document and a DocEditor for the edit operations, so
    // the mutable accessors below are out of their reach.
    bool isOpen() const { return job_.memberCount != -1; }
    int memberCount() const { return job_.memberCount; }
    const JobData& job() const { return job_; }
    const ProjectInfo& project() const { return job_.project; }
    const std::vector<MemberInfo>& members() const { return job_.members; }
    const AreaList& areasOf(int member) const { return job_.areas.at(member); }
    const Result& result() const { return job_.result; }
    // nullptr when the index is outside the job.
    const MemberInfo* member(int member) const;
    const TestArea* area(int member, int area) const;
    // Mutable access for the file commands and the command line only.
    JobData& job() { return job_; }
    ProjectInfo& project() { return job_.project; }
    std::vector<MemberInfo>& members() { return job_.members; }
    AreaList& areasOf(int member) { return job_.areas.at(member); }
    Result& result() { return job_.result; }

    // --- the evaluation, always that of the job as it stands ---
    const JobEvaluation& evaluation() const { return evaluation_; }
    // nullptr when the index is outside the job.
    const AreaStrength* areaStrength(int member, int area) const;
    const MemberEvaluation* memberEvaluation(int member) const;
    const BatchEvaluation& batchEvaluation() const { return evaluation_.batch; }

    // --- edits (DocEditor): each applies the job's rules, recomputes area -> member -> batch,
    // marks the document modified when a stored value changed (one funnel, changed()), notifies
    // jobChanged, and returns the message to show ("" when there is none).
    std::u16string setReading(int member, int area, int index, int value) override;
    std::u16string setReboundMean(int member, int area, float value) override;
    std::u16string clearReboundMean(int member, int area) override;
    std::u16string setCarbon(int member, int area, float value) override;
    std::u16string setAngle(int member, int area, int angle) override;
    std::u16string setPlane(int member, int area, int plane) override;
    std::u16string setPathLength(int member, int area, int point, float value) override;
    std::u16string setArrival(int member, int area, int point, int index,
                              bool withAmplitude = false) override;
    std::u16string setMethod(int member, int area, int method) override;
    std::u16string setPosition(int member, int area, const std::u16string& position) override;
    std::u16string setBeta(int member, int area, float value) override;
    std::u16string setLambda(int member, int area, float value) override;
    std::u16string setCurve(int member, int curve) override;
    std::u16string setCoefficient(int member, int which, float value) override;
    std::u16string setPumped(int member, bool pumped) override;
    std::u16string renameMember(int member, const std::u16string& name) override;
    // A typed eta that differs from the current one replaces a correction by specimens.
    std::u16string setEta(float value) override;
    std::u16string setProjectText(ProjectField field, const std::u16string& text) override;
    std::u16string enterReading(int member, int area, int index,
                                const std::u16string& text) override;
    std::u16string enterReboundMean(int member, int area, const std::u16string& text) override;
    std::u16string enterCarbon(int member, int area, const std::u16string& text) override;
    std::u16string enterPathLength(int member, int area, int point,
                                   const std::u16string& text) override;
    std::u16string enterBeta(int member, int area, const std::u16string& text) override;
    std::u16string enterLambda(int member, int area, const std::u16string& text) override;
    std::u16string enterCoefficient(int member, int which, const std::u16string& text) override;
    std::u16string enterEta(const std::u16string& text) override;

    // "自动判读": one edit over the points with a waveform of one area (member and area given),
    // one member (area -1) or the whole job (member -1). Confident suggestions replace the arrival
    // and the amplitude cursor; the other points keep their pick and are marked for review. Hand
    // picks are kept, except when one area is asked for: then the user asks for those points
    // again. Setting an arrival by hand (above) marks the point as a hand pick.
    AutoPickSummary autoPick(int member, int area) override;
    // Points of the job marked for review ("N 个测点需人工判读").
    int pointsNeedingReview() const;
    // "钻芯修正": eta from the specimens (at least four, each on an area whose converted strength
    // with eta = 1 is above 0), set as the eta edit does, and the specimens kept with the job.
    // Returns the message and changes nothing when the specimens do not give an eta.
    std::u16string applyCores(const std::vector<Specimen>& specimens) override;
    const std::vector<Specimen>& specimens() const { return job_.specimens; }
    // What applyCores would find, without changing anything ("" or the message it would give).
    std::u16string previewCores(const std::vector<Specimen>& specimens, CoreResult& out) const;
    // fcu,i^c: the area's converted strength with eta = 1 (0 outside the job).
    float unitEtaStrength(int member, int area) const;
    // A library curve chosen under "粗骨料": the member becomes custom with the curve's a, b, c
    // and remembers its name. "" or the message when the library has no such curve.
    std::u16string setNamedCurve(int member, const std::u16string& name) override;

    // Changed by every open, new and reopen: a queued edit made for one job is dropped when it
    // arrives in another.
    unsigned generation() const { return generation_; }

    // Reads into fresh records and replaces the contents only when the whole read succeeded.
    // Returns the failure message (empty on success); the previous job stays intact on failure.
    std::u16string open(const std::string& path, const ReadOptions& options = {});
    // "新建": no file is open any more; the job's records are freed. The project information,
    // the report records, the tables and the standard stay as they are.
    void newDocument();
    // Save by extension: ".SHT" raw, ".SHA" result, else "无法识别的文件类型".
    std::u16string save(const std::string& path);
    // "保存结果": write a result file to the path resultPathFor gives for `typed` (refused with
    // its message when it gives none), then open it, carrying over what the file does
    // not store (each member's curve, coefficients and pumped flag, each area's typed mean) so
    // the strengths stay as they were. "请先打开文件!" when nothing is open; a failed write or
    // reopen leaves the open job exactly as it was.
    std::u16string saveResult(const std::string& typed, const ReadOptions& options = {});
    // The path proposed by "保存结果": the document path cut before its first ".".
    std::string proposedResultPath() const;

    // Recovery snapshot (recovery.h) of the job as it stands, into `folder`: the file pair the
    // job was read from is linked (or copied) there once, the edited values are rewritten
    // atomically every time. The message of a failure, else "".
    std::u16string writeRecovery(const std::string& folder, int64_t time) const;
    // Replaces the job by the snapshot in `folder`: the job of its original path, marked
    // modified, with an empty history. The failure message (the open job stays) or "".
    std::u16string restoreRecovery(const std::string& folder);

    const std::string& path() const { return path_; }
    std::u16string fileName() const; // text after the last path separator
    std::u16string title() const;    // window title for the current state

    bool isModified() const { return modified_; }
    void setModified(bool modified = true) override;

    // --- history: every edit above is one step, named for the menus ("输入回弹值") ---
    // Undo and redo put back the records a step touched and then recompute, notify and set the
    // modified flag as an edit does; back at the saved state the job is unmodified again. Open
    // and new start an empty history.
    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    std::u16string undoName() const;
    std::u16string redoName() const;
    void undo() override;
    void redo() override;
    // Every edit between the outermost begin and end becomes one step named `name` (an
    // automatic pick of many areas, a correction of a member).
    void beginCompoundEdit(const std::u16string& name) override;
    void endCompoundEdit() override;
    const DocHistory& history() const { return history_; }

    // --- navigation ---
    int currentMember() const { return currentMember_; }
    int currentAreaIndex() const { return currentArea_; }
    int selectedPoint() const { return selectedPoint_; }
    // Select member (area and point reset to 0) or area; both notify areaChanged.
    void setCurrentMember(int member) override;
    void setCurrentArea(int area) override;
    void setSelectedPoint(int point) override { selectedPoint_ = point; }
    MemberInfo* currentMemberInfo();
    TestArea* currentArea();
    const MemberInfo* currentMemberInfo() const { return member(currentMember_); }
    const TestArea* currentArea() const { return area(currentMember_, currentArea_); }
    bool canGoPrevious() const;
    bool canGoNext() const;
    // Return the message when the move is impossible ("当前为构件第一个测区"), else "".
    std::u16string previousArea() override;
    std::u16string nextArea() override;

    // --- algorithm and tables ---
    int standard() const { return standard_; }
    // Recomputes every area, member and the batch (as on open) and notifies it; the evaluation is
    // always current, so this is only for a front end that wants to state it, as "输出" does.
    void recomputeAll();
    // Stores the index and makes the algorithm of the standard (any other index keeps the
    // object); named curves take the new standard's coefficients, every member is recomputed.
    void setStandard(int standard) override;
    // Mutable for the command line's evaluation only.
    CAlgorithm& algorithm() { return *algorithm_; }
    const CorrectionTables& tables() const { return tables_; }
    // The correction tables as a dialog leaves them at "确定"; every member is recomputed.
    void setTables(const CorrectionTables& tables) override;

    // --- the curve library ---
    const CurveLibrary& curveLibrary() const { return curves_; }
    // Replaces the library (read at start-up, or changed in "测强曲线库"): members' curve names
    // and the range marks follow; nothing of the job is modified.
    void setCurveLibrary(const CurveLibrary& library) override;
    // Areas of a member outside its named curve's ranges.
    int outsideCount(int member) const;

    // --- filter of the current area ---
    const FilterSettings& filter() const { return filter_; }
    FilterSettings& filter() { return filter_; } // file commands and the command line only
    void setFilter(const FilterSettings& settings) override { filter_ = settings; }
    // "请先打开文件再进行滤波!" when no file is open, else "".
    std::u16string filterCommandCheck() const;
    // Restore rawSamples, then filter with the current settings; notifies samplesChanged.
    void applyFilter() override;
    void restoreCurrentArea();
    void filterCurrentArea();

    // --- report records and settings ---
    const PrintSettings& printSettings() const { return print_; }
    const ReportInfo& reportInfo() const { return report_; }
    const std::array<int, 3>& barWidths() const { return barWidths_; }
    // Mutable for the file commands and the command line only (not for views).
    PrintSettings& printSettings() { return print_; }
    ReportInfo& reportInfo() { return report_; }
    std::array<int, 3>& barWidths() { return barWidths_; }
    void refreshReportInfo();
    // Settings archive: last project information, print settings, report info, bar widths.
    void loadSettings(const std::string& path);
    bool storeSettings(const std::string& path) const;

private:
    // Replaces the contents by a freshly read job (the last steps of an open).
    void adopt(JobData&& fresh, const std::string& path);
    void makeAlgorithm();
    TestArea* editableArea(int member, int area);
    // The first value of the member's areas (all members for -1) or of the batch that the
    // result file could not hold, as the end of a refusal message; "" when all fit.
    std::u16string unwritableValue(int member) const;
    template <class Apply>
    std::u16string editArea(int member, int area, unsigned fields, bool points,
                            std::u16string_view what, const std::u16string& value, Apply&& apply);
    template <class Apply>
    std::u16string editMember(int member, std::u16string_view what, const std::u16string& value,
                              Apply&& apply);
    void recomputeArea(int member, int area, bool points);
    void reevaluateMember(int member);
    void recomputeMember(int member);
    void computeAll();
    void changed(const DocChange& change, bool stored);
    // An edit names the records it is about to change; `changed` then files the step.
    void record(const char16_t* name, const EditTouch& touch);
    void fileStep(const DocChange& change, bool stored);
    Records capture(const EditTouch& touch) const;
    void restore(const EditTouch& touch, const Records& records);
    void replay(const HistoryStep& step, bool forward);
    ReadOptions withNotices(const ReadOptions& options);
    void notifyAreaChanged();
    void notifyTitle();
    template <class F> void notifyAll(F&& f);

    JobData job_;
    JobEvaluation evaluation_;
    std::string path_;
    bool modified_ = false;
    unsigned generation_ = 0;
    int currentMember_ = 0;
    int currentArea_ = 0;
    int selectedPoint_ = 0;
    int standard_ = 0;
    int standardCopy_ = 0;
    CorrectionTables tables_;
    std::unique_ptr<CAlgorithm> algorithm_;
    FilterSettings filter_;
    PrintSettings print_;
    ReportInfo report_;
    std::array<int, 3> barWidths_{220, 220, 220};
    std::vector<DocObserver*> observers_;
    CurveLibrary curves_;
    DocHistory history_;
    struct PendingStep {
        const char16_t* name = nullptr; // nullptr: no edit under way
        EditTouch touch;
        Records before;
    } pending_;
};

} // namespace tavolin
