// CTavolinDoc: the single owner of one job, its algorithm, tables, report records and navigation.
#pragma once

#include "calc/algorithm.h"
#include "calc/correctiontables.h"
#include "data/corefile.h"
#include "data/curvelibrary.h"
#include "data/datafile.h"
#include "data/docchange.h"
#include "data/dochistory.h"
#include "data/jobeval.h"
#include "data/records.h"
#include "data/settings.h"

#include <array>
#include <memory>
#include <string>
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

// The project text fields an edit can change.
enum class ProjectField { Site, Unit, Person, MoldDate, TestDate };

struct FilterSettings {
    float highKHz = 20.0f;
    float lowKHz = 50.0f;
    bool highOn = false;
    bool lowOn = false;
};

class CTavolinDoc {
public:
    static inline const std::u16string baseTitle = u"超声回弹综合法测强软件   Tavolin";

    CTavolinDoc();
    ~CTavolinDoc();
    CTavolinDoc(const CTavolinDoc&) = delete;
    CTavolinDoc& operator=(const CTavolinDoc&) = delete;

    void addObserver(DocObserver* observer);
    void removeObserver(DocObserver* observer);

    // --- the job ---
    // Views read through the const accessors and change the job only through the edit
    // operations below, which apply the job's rules, recompute and notify.
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
    // Mutable access for the file commands and the command line only (not for views).
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

    // --- edits: each applies the job's rules, recomputes area -> member -> batch, marks the
    // document modified when a stored value changed, notifies jobChanged, and returns the
    // message to show ("" when there is none). Edits of an index outside the job do nothing.
    // A reading: negative -> 0; above 9999 -> "输入的回弹值过大！" and the previous reading
    // (35 when that one is negative) stays.
    std::u16string setReading(int member, int area, int index, int value);
    // The typed mean "R": limited to 20..50, stored, and from then on used instead of the mean of
    // the readings (reboundFlag).
    std::u16string setReboundMean(int member, int area, float value);
    std::u16string setCarbon(int member, int area, float value);
    // 90, 60, 45, 30, 0, -30, -45, -60, -90; anything else stores 0.
    std::u16string setAngle(int member, int area, int angle);
    // 0 side, 1 top, 2 bottom; anything else stores -1 (not chosen).
    std::u16string setPlane(int member, int area, int plane);
    // Path length of a point, limited to 0..10000 mm.
    std::u16string setPathLength(int member, int area, int point, float value);
    // First arrival of a point, limited to 1..DatLen-1; `withAmplitude` moves the amplitude
    // cursor with it (the main screen's panes). A point without a waveform changes nothing.
    std::u16string setArrival(int member, int area, int point, int index,
                              bool withAmplitude = false);
    // "自动判读": one edit over the points with a waveform of one area (member and area given),
    // one member (area -1) or the whole job (member -1). Confident suggestions replace the arrival
    // and the amplitude cursor; the other points keep their pick and are marked for review. Hand
    // picks are kept, except when one area is asked for: then the user asks for those points
    // again. Setting an arrival by hand (above) marks the point as a hand pick.
    struct AutoPickSummary {
        int applied = 0;  // confident suggestions set
        int review = 0;   // points marked for review
        int handKept = 0; // hand picks left as they were
    };
    AutoPickSummary autoPick(int member, int area);
    // Points of the job marked for review ("N 个测点需人工判读").
    int pointsNeedingReview() const;
    // Test method 0..2: the position becomes "侧面" for opposite tests, else "顶面"; then the
    // beta/lambda rule.
    std::u16string setMethod(int member, int area, int method);
    // Test position text (at most 10 characters kept); then the beta/lambda rule.
    std::u16string setPosition(int member, int area, const std::u16string& position);
    // Beta / lambda limited to 0..10; a value the method and position fix (the rule) stays.
    std::u16string setBeta(int member, int area, float value);
    std::u16string setLambda(int member, int area, float value);
    // Curve 1/2: the current standard's defaults; 0 (custom): A = B = C = 0.
    std::u16string setCurve(int member, int curve);
    // One coefficient (0 a, 1 b, 2 c) of a custom curve, limited to 0..10; a named curve's
    // coefficients are its standard's and stay.
    std::u16string setCoefficient(int member, int which, float value);
    std::u16string setPumped(int member, bool pumped);
    std::u16string renameMember(int member, const std::u16string& name);
    // Eta limited to 0..10, stored in the project and in every area; every member recomputed.
    // A typed eta that differs from the current one replaces a correction by specimens.
    std::u16string setEta(float value);
    // "钻芯修正": eta from the specimens (at least four, each on an area whose converted strength
    // with eta = 1 is above 0), set as the eta edit does, and the specimens kept with the job.
    // Returns the message and changes nothing when the specimens do not give an eta.
    std::u16string applyCores(const std::vector<Specimen>& specimens);
    const std::vector<Specimen>& specimens() const { return job_.specimens; }
    // A library curve chosen under "粗骨料": the member becomes custom with the curve's a, b, c
    // and remembers its name. "" or the message when the library has no such curve.
    std::u16string setNamedCurve(int member, const std::u16string& name);
    // Project texts and dates (dates as year-month-day text), with their report copies.
    std::u16string setProjectText(ProjectField field, const std::u16string& text);

    // The same entries from typed text, parsed as every entry surface does (MathOperation): a
    // text of 20 or more characters gives "数字过长，请输入小于20位的数值" and 0.
    std::u16string enterReading(int member, int area, int index, const std::u16string& text);
    std::u16string enterReboundMean(int member, int area, const std::u16string& text);
    std::u16string enterCarbon(int member, int area, const std::u16string& text);
    std::u16string enterPathLength(int member, int area, int point, const std::u16string& text);
    std::u16string enterBeta(int member, int area, const std::u16string& text);
    std::u16string enterLambda(int member, int area, const std::u16string& text);
    std::u16string enterCoefficient(int member, int which, const std::u16string& text);
    std::u16string enterEta(const std::u16string& text);

    // Reads into fresh records and replaces the contents only when the whole read succeeded.
    // Returns the failure message (empty on success); the previous job stays intact on failure.
    std::u16string open(const std::string& path, const ReadOptions& options = {});
    // "新建": no file is open any more; the job's records are freed. The project information,
    // the report records, the tables and the standard stay as they are.
    void newDocument();
    // Save by extension: ".SHT" raw, ".SHA" result, else "无法识别的文件类型".
    std::u16string save(const std::string& path);
    // "保存结果": write a result file to `path`, then open it, carrying over what the file does
    // not store (each member's curve, coefficients and pumped flag, each area's typed mean) so
    // the strengths stay as they were. "请先打开文件!" when nothing is open; a failed write or
    // reopen leaves the open job exactly as it was.
    std::u16string saveResult(const std::string& path, const ReadOptions& options = {});
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
    void setModified(bool modified = true);

    // --- history: every edit above is one step, named for the menus ("输入回弹值") ---
    // Undo and redo put back the records a step touched and then recompute, notify and set the
    // modified flag as an edit does; back at the saved state the job is unmodified again. Open
    // and new start an empty history.
    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    std::u16string undoName() const;
    std::u16string redoName() const;
    void undo();
    void redo();
    // Every edit between the outermost begin and end becomes one step named `name` (an
    // automatic pick of many areas, a correction of a member).
    void beginCompoundEdit(const std::u16string& name);
    void endCompoundEdit();
    const DocHistory& history() const { return history_; }

    // --- navigation ---
    int currentMember() const { return currentMember_; }
    int currentAreaIndex() const { return currentArea_; }
    int selectedPoint() const { return selectedPoint_; }
    // Select member (area and point reset to 0) or area; both notify areaChanged.
    void setCurrentMember(int member);
    void setCurrentArea(int area);
    void setSelectedPoint(int point) { selectedPoint_ = point; }
    MemberInfo* currentMemberInfo();
    TestArea* currentArea();
    const MemberInfo* currentMemberInfo() const { return member(currentMember_); }
    const TestArea* currentArea() const { return area(currentMember_, currentArea_); }
    bool canGoPrevious() const;
    bool canGoNext() const;
    // Return the message when the move is impossible ("当前为构件第一个测区"), else "".
    std::u16string previousArea();
    std::u16string nextArea();

    // --- algorithm and tables ---
    int standard() const { return standard_; }
    // Recomputes every area, member and the batch (as on open) and notifies it; the evaluation is
    // always current, so this is only for a front end that wants to state it, as "输出" does.
    void recomputeAll();
    // Stores the index and makes the algorithm of the standard (any other index keeps the
    // object); named curves take the new standard's coefficients, every member is recomputed.
    void setStandard(int standard);
    CAlgorithm& algorithm() { return *algorithm_; }
    const CorrectionTables& tables() const { return tables_; }
    // The correction tables as a dialog leaves them at "确定"; every member is recomputed.
    void setTables(const CorrectionTables& tables);

    // --- the curve library ---
    const CurveLibrary& curveLibrary() const { return curves_; }
    // Replaces the library (read at start-up, or changed in "测强曲线库"): members' curve names
    // and the range marks follow; nothing of the job is modified.
    void setCurveLibrary(const CurveLibrary& library);
    // Areas of a member outside its named curve's ranges.
    int outsideCount(int member) const;

    // --- filter of the current area ---
    FilterSettings& filter() { return filter_; }
    // "请先打开文件再进行滤波!" when no file is open, else "".
    std::u16string filterCommandCheck() const;
    // Restore rawSamples, then filter with the current settings; notifies samplesChanged.
    void applyFilter();
    void restoreCurrentArea();
    void filterCurrentArea();

    // --- report records and settings ---
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
