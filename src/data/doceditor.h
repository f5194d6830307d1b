// DocEditor: the edit operations of a job, the only way a view may change the document.
#pragma once

#include <string>
#include <vector>

namespace tavolin {

struct CorrectionTables;
struct CurveLibrary;
struct Specimen;

// What one automatic first-arrival run did.
struct AutoPickSummary {
    int applied = 0;  // confident suggestions set
    int review = 0;   // points marked for review
    int handKept = 0; // hand picks left as they were
};

// The project text fields an edit can change.
enum class ProjectField { Site, Unit, Person, MoldDate, TestDate };

struct FilterSettings {
    float highKHz = 20.0f;
    float lowKHz = 50.0f;
    bool highOn = false;
    bool lowOn = false;
    bool operator==(const FilterSettings&) const = default;
};

// Views read the document through a const reference and write through this interface, so a view
// that tried to write a record would not compile. Each edit applies the job's rules, recomputes
// area -> member -> batch, marks the document modified when a stored value changed, notifies the
// observers, and returns the message to show ("" when there is none). Edits of an index outside
// the job do nothing.
class DocEditor {
public:
    virtual ~DocEditor() = default;

    // A reading: negative -> 0; above 9999 -> "输入的回弹值过大！" and the previous reading
    // (35 when that one is negative) stays.
    virtual std::u16string setReading(int member, int area, int index, int value) = 0;
    // The typed mean "R": limited to 20..50, stored, and from then on used instead of the mean of
    // the readings (reboundFlag).
    virtual std::u16string setReboundMean(int member, int area, float value) = 0;
    // Drops a typed mean: the area's "R" is the mean of its readings again.
    virtual std::u16string clearReboundMean(int member, int area) = 0;
    virtual std::u16string setCarbon(int member, int area, float value) = 0;
    // 90, 60, 45, 30, 0, -30, -45, -60, -90; anything else stores 0.
    virtual std::u16string setAngle(int member, int area, int angle) = 0;
    // 0 side, 1 top, 2 bottom; anything else stores -1 (not chosen).
    virtual std::u16string setPlane(int member, int area, int plane) = 0;
    // Path length of a point, limited to 0..10000 mm.
    virtual std::u16string setPathLength(int member, int area, int point, float value) = 0;
    // First arrival of a point, limited to 1..DatLen-1; `withAmplitude` moves the amplitude
    // cursor with it (the main screen's panes). A point without a waveform changes nothing.
    virtual std::u16string setArrival(int member, int area, int point, int index,
                                      bool withAmplitude = false) = 0;
    // Test method 0..2: the position becomes "侧面" for opposite tests, else "顶面"; then the
    // beta/lambda rule.
    virtual std::u16string setMethod(int member, int area, int method) = 0;
    // Test position text (at most 10 characters kept); then the beta/lambda rule.
    virtual std::u16string setPosition(int member, int area, const std::u16string& position) = 0;
    // Beta / lambda limited to 0..10; a value the method and position fix (the rule) stays.
    virtual std::u16string setBeta(int member, int area, float value) = 0;
    virtual std::u16string setLambda(int member, int area, float value) = 0;
    // Curve 1/2: the current standard's defaults; 0 (custom): A = B = C = 0.
    virtual std::u16string setCurve(int member, int curve) = 0;
    // One coefficient (0 a, 1 b, 2 c) of a custom curve, limited to 0..10; a named curve's
    // coefficients are its standard's and stay.
    virtual std::u16string setCoefficient(int member, int which, float value) = 0;
    virtual std::u16string setPumped(int member, bool pumped) = 0;
    virtual std::u16string renameMember(int member, const std::u16string& name) = 0;
    // Eta limited to 0..10, stored in the project and in every area; every member recomputed.
    virtual std::u16string setEta(float value) = 0;
    // Project texts and dates (dates as year-month-day text), with their report copies.
    virtual std::u16string setProjectText(ProjectField field, const std::u16string& text) = 0;

    // The same entries from typed text, parsed as every entry surface does (MathOperation): a
    // text of 20 or more characters gives "数字过长，请输入小于20位的数值" and 0.
    virtual std::u16string enterReading(int member, int area, int index,
                                        const std::u16string& text) = 0;
    // An empty text drops a typed mean (clearReboundMean).
    virtual std::u16string enterReboundMean(int member, int area, const std::u16string& text) = 0;
    virtual std::u16string enterCarbon(int member, int area, const std::u16string& text) = 0;
    virtual std::u16string enterPathLength(int member, int area, int point,
                                           const std::u16string& text) = 0;
    virtual std::u16string enterBeta(int member, int area, const std::u16string& text) = 0;
    virtual std::u16string enterLambda(int member, int area, const std::u16string& text) = 0;
    virtual std::u16string enterCoefficient(int member, int which, const std::u16string& text) = 0;
    virtual std::u16string enterEta(const std::u16string& text) = 0;

    // The standard (every member recomputed) and the correction tables as a dialog leaves them.
    virtual void setStandard(int standard) = 0;
    virtual void setTables(const CorrectionTables& tables) = 0;

    // Navigation: member (area and point reset to 0), area, point; the moves return the message
    // when they are impossible.
    virtual void setCurrentMember(int member) = 0;
    virtual void setCurrentArea(int area) = 0;
    virtual void setSelectedPoint(int point) = 0;
    virtual std::u16string previousArea() = 0;
    virtual std::u16string nextArea() = 0;

    // The filter of the current area: new settings, then the measured samples filtered again.
    virtual void setFilter(const FilterSettings& settings) = 0;
    virtual void applyFilter() = 0;

    virtual void setModified(bool modified = true) = 0;

    // "自动判读" of one area, one member (area -1) or the whole job (member -1), one edit.
    virtual AutoPickSummary autoPick(int member, int area) = 0;
    // "钻芯修正": eta from the specimens, kept with the job.
    virtual std::u16string applyCores(const std::vector<Specimen>& specimens) = 0;
    // A library curve for a member (custom a, b, c and the curve's name).
    virtual std::u16string setNamedCurve(int member, const std::u16string& name) = 0;
    // The curve library the members' names and range marks follow (no edit of the job).
    virtual void setCurveLibrary(const CurveLibrary& library) = 0;

    // The history: undo and redo of whole steps; edits between begin and end are one step.
    virtual void undo() = 0;
    virtual void redo() = 0;
    virtual void beginCompoundEdit(const std::u16string& name) = 0;
    virtual void endCompoundEdit() = 0;
};

} // namespace tavolin
