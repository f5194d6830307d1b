// CTavolinDoc: the edit operations of the job and the recomputes they set off.
#include "data/doc.h"

#include "data/jobrules.h"
#include "data/labels.h"
#include "data/mathoperation.h"
#include "sonic/autopick.h"

#include <algorithm>
#include <cmath>

namespace tavolin {

namespace {

constexpr std::u16string_view kReadingTooLarge = u"输入的回弹值过大！";
constexpr int kAngles[] = {90, 60, 45, 30, 0, -30, -45, -60, -90};
constexpr size_t kPositionWidth = 10; // the TESTLOC column of the result file

// A typed number outside [lo, hi] is held to it; a non-number counts as 0.
float limited(float value, float lo, float hi) {
    return std::isnan(value) ? std::clamp(0.0f, lo, hi) : std::clamp(value, lo, hi);
}

template <class T> bool assign(T& field, const T& value) {
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

// --- const access ---

const MemberInfo* CTavolinDoc::member(int member) const {
    if (!isOpen() || member < 0 || member >= static_cast<int>(job_.members.size()))
        return nullptr;
    return &job_.members[static_cast<size_t>(member)];
}

const TestArea* CTavolinDoc::area(int member, int area) const {
    if (!isOpen() || member < 0 || member >= static_cast<int>(job_.areas.size()))
        return nullptr;
    const AreaList& areas = job_.areas[static_cast<size_t>(member)];
    if (area < 0 || area >= static_cast<int>(areas.size()))
        return nullptr;
    return &areas[static_cast<size_t>(area)];
}

const AreaStrength* CTavolinDoc::areaStrength(int member, int area) const {
    if (member < 0 || member >= static_cast<int>(evaluation_.areas.size()))
        return nullptr;
    const auto& list = evaluation_.areas[static_cast<size_t>(member)];
    if (area < 0 || area >= static_cast<int>(list.size()))
        return nullptr;
    return &list[static_cast<size_t>(area)];
}

const MemberEvaluation* CTavolinDoc::memberEvaluation(int member) const {
    if (member < 0 || member >= static_cast<int>(evaluation_.members.size()))
        return nullptr;
    return &evaluation_.members[static_cast<size_t>(member)];
}

TestArea* CTavolinDoc::editableArea(int member, int area) {
    // An area edit needs its member record too.
    if (!this->member(member))
        return nullptr;
    return const_cast<TestArea*>(this->area(member, area));
}

// --- recomputes ---

void CTavolinDoc::recomputeArea(int member, int area, bool points) {
    TestArea& a = job_.areas[static_cast<size_t>(member)][static_cast<size_t>(area)];
    if (points)
        computePointValues(a);
    computeAreaVelocity(a, *algorithm_);
    const AreaStrength strength =
        computeAreaStrength(a, job_.members[static_cast<size_t>(member)], *algorithm_);
    if (member < static_cast<int>(evaluation_.areas.size()) &&
        area < static_cast<int>(evaluation_.areas[static_cast<size_t>(member)].size()))
        evaluation_.areas[static_cast<size_t>(member)][static_cast<size_t>(area)] = strength;
    reevaluateMember(member);
}

void CTavolinDoc::reevaluateMember(int member) {
    if (member >= 0 && member < static_cast<int>(evaluation_.members.size()))
        evaluation_.members[static_cast<size_t>(member)] =
            evaluateMember(job_.areas[static_cast<size_t>(member)], *algorithm_);
    evaluation_.batch = evaluateBatch(job_.areas, *algorithm_);
    job_.result.MF = evaluation_.batch.MF;
    job_.result.SF = evaluation_.batch.SF;
    job_.result.FCUE = evaluation_.batch.FCUE;
    markOutsideCurves(job_, curves_, evaluation_);
}

void CTavolinDoc::recomputeMember(int member) {
    if (member < static_cast<int>(evaluation_.areas.size()))
        computeMember(job_.members[static_cast<size_t>(member)],
                      job_.areas[static_cast<size_t>(member)], *algorithm_,
                      evaluation_.areas[static_cast<size_t>(member)]);
    reevaluateMember(member);
}

void CTavolinDoc::computeAll() {
    // The coefficients of a named curve do not enter the conversion (the standard's own are
    // used), so they are left as the file or the last standard change gave them.
    const size_t members = std::min(job_.members.size(), job_.areas.size());
    evaluation_.areas.resize(members);
    evaluation_.members.resize(members);
    for (size_t m = 0; m < members; ++m) {
        computeMember(job_.members[m], job_.areas[m], *algorithm_, evaluation_.areas[m]);
        evaluation_.members[m] = evaluateMember(job_.areas[m], *algorithm_);
    }
    reevaluateMember(-1);
}

void CTavolinDoc::recomputeAll() {
    if (!isOpen())
        return;
    computeAll();
    changed({-1, -1, ChangeStrength | ChangeEvaluation}, false);
}

// --- area edits ---

std::u16string CTavolinDoc::setReading(int member, int area, int index, int value) {
    TestArea* a = editableArea(member, area);
    if (!a || index < 0 || index >= 16)
        return {};
    record(u"输入回弹值", {TouchArea, member, area});
    int& reading = a->R[static_cast<size_t>(index)];
    std::u16string message;
    if (value < 0) {
        value = 0;
    } else if (value > 9999) {
        message = kReadingTooLarge;
        value = reading < 0 ? 35 : reading;
    }
    const bool stored = assign(reading, value);
    recomputeArea(member, area, false);
    changed({member, area, ChangeReadings | ChangeStrength | ChangeEvaluation}, stored);
    return message;
}

std::u16string CTavolinDoc::setReboundMean(int member, int area, float value) {
    TestArea* a = editableArea(member, area);
    if (!a)
        return {};
    record(u"输入回弹平均值", {TouchArea, member, area});
    bool stored = assign(a->reboundMean, limited(value, 20.0f, 50.0f));
    stored = assign(a->reboundFlag, 1) || stored;
    recomputeArea(member, area, false);
    changed({member, area, ChangeReadings | ChangeStrength | ChangeEvaluation}, stored);
    return {};
}

std::u16string CTavolinDoc::setCarbon(int member, int area, float value) {
    TestArea* a = editableArea(member, area);
    if (!a)
        return {};
    record(u"输入碳化深度", {TouchArea, member, area});
    // No range: the value is kept as typed, but a non-number must not reach the strengths.
    const bool stored = assign(a->CARBON, std::isfinite(value) ? value : 0.0f);
    recomputeArea(member, area, false);
    changed({member, area, ChangeCarbon | ChangeStrength | ChangeEvaluation}, stored);
    return {};
}

std::u16string CTavolinDoc::setAngle(int member, int area, int angle) {
    TestArea* a = editableArea(member, area);
    if (!a)
        return {};
    record(u"选择测试角度", {TouchArea, member, area});
    if (std::find(std::begin(kAngles), std::end(kAngles), angle) == std::end(kAngles))
        angle = 0;
    const bool stored = assign(a->ANGLE, angle);
    recomputeArea(member, area, false);
    changed({member, area, ChangeAngle | ChangeStrength | ChangeEvaluation}, stored);
    return {};
}

std::u16string CTavolinDoc::setPlane(int member, int area, int plane) {
    TestArea* a = editableArea(member, area);
    if (!a)
        return {};
    record(u"选择测试平面", {TouchArea, member, area});
    if (plane < FaceSide || plane > FaceBottom)
        plane = FaceNone;
    const bool stored = assign(a->PLANE, plane);
    recomputeArea(member, area, false);
    changed({member, area, ChangePlane | ChangeStrength | ChangeEvaluation}, stored);
    return {};
}

std::u16string CTavolinDoc::setPathLength(int member, int area, int point, float value) {
    TestArea* a = editableArea(member, area);
    if (!a || point < 0 || point > 2)
        return {};
    record(u"输入测距", {TouchArea, member, area});
    const bool stored =
        assign(a->points[static_cast<size_t>(point)].L, limited(value, 0.0f, 10000.0f));
    recomputeArea(member, area, true);
    changed({member, area, ChangePath | ChangeStrength | ChangeEvaluation}, stored);
    return {};
}

std::u16string CTavolinDoc::setArrival(int member, int area, int point, int index,
                                       bool withAmplitude) {
    TestArea* a = editableArea(member, area);
    if (!a || point < 0 || point > 2)
        return {};
    TestPoint& p = a->points[static_cast<size_t>(point)];
    if (!p.hasWaveform())
        return {};
    record(u"拾取首波", {TouchArea, member, area});
    // The first sample is never an arrival: the trigger sits there.
    index = std::clamp(index, 1, std::max(1, static_cast<int>(p.samples.size()) - 1));
    bool stored = assign(p.arrivalIndex, index);
    // The amplitude is that of the first half-cycle after the pick, not of the sample clicked.
    if (withAmplitude)
        stored =
            assign(p.ampIndex, firstHalfCycleIndex(p.samples.data(),
                                                   static_cast<int>(p.samples.size()), index)) ||
            stored;
    p.pickOrigin = PickOrigin::Hand;
    recomputeArea(member, area, true);
    changed({member, area, ChangeArrival | ChangeStrength | ChangeEvaluation}, stored);
    return {};
}

std::u16string CTavolinDoc::setMethod(int member, int area, int method) {
    TestArea* a = editableArea(member, area);
    if (!a || method < MethodCorner || method > MethodOpposite)
        return {};
    record(u"选择测试方式", {TouchArea, member, area});
    bool stored = assign(a->TMETHOD, method);
    stored = assign(a->TESTLOC,
                    std::u16string(method == MethodOpposite ? kPositionSide : kPositionTop)) ||
             stored;
    stored = applyFactorRule(*a) || stored;
    recomputeArea(member, area, false);
    changed({member, area, ChangeMethod | ChangeBetaLambda | ChangeStrength | ChangeEvaluation},
            stored);
    return {};
}

std::u16string CTavolinDoc::setPosition(int member, int area, const std::u16string& position) {
    TestArea* a = editableArea(member, area);
    if (!a)
        return {};
    record(u"选择测试位置", {TouchArea, member, area});
    bool stored = assign(a->TESTLOC, position.substr(0, kPositionWidth));
    stored = applyFactorRule(*a) || stored;
    recomputeArea(member, area, false);
    changed({member, area, ChangeMethod | ChangeBetaLambda | ChangeStrength | ChangeEvaluation},
            stored);
    return {};
}

std::u16string CTavolinDoc::setBeta(int member, int area, float value) {
    TestArea* a = editableArea(member, area);
    if (!a)
        return {};
    record(u"输入β修正值", {TouchArea, member, area});
    bool stored = false;
    // A beta the method and position imply is the rule's, not the user's.
    if (!factorRuleOf(a->TMETHOD, a->TESTLOC).beta)
        stored = assign(a->BETA, limited(value, 0.0f, 10.0f));
    recomputeArea(member, area, false);
    changed({member, area, ChangeBetaLambda | ChangeStrength | ChangeEvaluation}, stored);
    return {};
}

std::u16string CTavolinDoc::setLambda(int member, int area, float value) {
    TestArea* a = editableArea(member, area);
    if (!a)
        return {};
    record(u"输入λ修正值", {TouchArea, member, area});
    bool stored = false;
    if (!factorRuleOf(a->TMETHOD, a->TESTLOC).lamda)
        stored = assign(a->LAMDA, limited(value, 0.0f, 10.0f));
    recomputeArea(member, area, false);
    changed({member, area, ChangeBetaLambda | ChangeStrength | ChangeEvaluation}, stored);
    return {};
}

// --- member edits ---

std::u16string CTavolinDoc::setCurve(int member, int curve) {
    if (!this->member(member) || curve < CurveCustom || curve > CurveCrushed)
        return {};
    record(u"选择粗骨料", {TouchMember, member});
    MemberInfo& m = job_.members[static_cast<size_t>(member)];
    const MemberInfo before = m;
    m.curve = curve;
    m.curveName.clear();
    if (curve == CurveCustom)
        m.A = m.B = m.C = 0.0f;
    else
        applyCurveRule(m, standard_);
    const bool stored = m.A != before.A || m.B != before.B || m.C != before.C;
    recomputeMember(member);
    changed({member, -1, ChangeMember | ChangeStrength | ChangeEvaluation}, stored);
    return {};
}

std::u16string CTavolinDoc::setCoefficient(int member, int which, float value) {
    if (!this->member(member) || which < 0 || which > 2)
        return {};
    static constexpr const char16_t* names[] = {u"输入系数a", u"输入系数b", u"输入系数c"};
    record(names[which], {TouchMember, member});
    MemberInfo& m = job_.members[static_cast<size_t>(member)];
    bool stored = false;
    if (m.curve == CurveCustom) {
        float& field = which == 0 ? m.A : (which == 1 ? m.B : m.C);
        stored = assign(field, limited(value, 0.0f, 10.0f));
        // Typed coefficients keep a curve's name only while they are still that curve's.
        m.curveName = curveNameFor(curves_, m.A, m.B, m.C);
    }
    recomputeMember(member);
    changed({member, -1, ChangeMember | ChangeStrength | ChangeEvaluation}, stored);
    return {};
}

std::u16string CTavolinDoc::setPumped(int member, bool pumped) {
    if (!this->member(member))
        return {};
    record(u"更改泵送", {TouchMember, member});
    // The files do not store the flag: nothing to save.
    job_.members[static_cast<size_t>(member)].pumped = pumped ? 1 : 0;
    recomputeMember(member);
    changed({member, -1, ChangeMember | ChangeStrength | ChangeEvaluation}, false);
    return {};
}

std::u16string CTavolinDoc::renameMember(int member, const std::u16string& name) {
    if (!this->member(member))
        return {};
    record(u"重命名构件", {TouchMember, member});
    const bool stored = assign(job_.members[static_cast<size_t>(member)].PILEID, name);
    changed({member, -1, ChangeName}, stored);
    return {};
}

// --- job edits ---

std::u16string CTavolinDoc::setEta(float value) {
    if (!isOpen())
        return {};
    record(u"输入强度修正系数η", {TouchProject | TouchAreaEta});
    value = limited(value, 0.0f, 10.0f);
    // The specimens no longer say where a different eta came from.
    const bool replaced = value != job_.project.ETA && !job_.specimens.empty();
    if (replaced)
        job_.specimens.clear();
    // Every area converts with its own eta: the project's value alone would change nothing.
    bool stored = assign(job_.project.ETA, value) || replaced;
    for (AreaList& areas : job_.areas)
        for (TestArea& area : areas)
            stored = assign(area.ETA, value) || stored;
    computeAll();
    changed(
        {-1, -1, ChangeEta | ChangeStrength | ChangeEvaluation | (replaced ? ChangeSpecimens : 0u)},
        stored);
    return {};
}

std::u16string CTavolinDoc::setProjectText(ProjectField field, const std::u16string& text) {
    if (!isOpen())
        return {};
    // Texts are stored at every keystroke: a run of typing in one field is one step.
    static constexpr const char16_t* names[] = {u"修改工程名称", u"修改检测单位", u"修改检测人员",
                                                u"修改浇注日期", u"修改检测日期"};
    const int which = static_cast<int>(field);
    record(names[which], {TouchProject | TouchReport, -1, -1, 100 + which});
    ProjectInfo& p = job_.project;
    bool stored = false;
    switch (field) {
    case ProjectField::Site:
        stored = assign(p.SITE, text);
        report_.projectName = text;
        break;
    case ProjectField::Unit:
        stored = assign(p.UNIT, text);
        report_.testingOrg = text;
        break;
    case ProjectField::Person:
        stored = assign(p.PERSON, text);
        break;
    case ProjectField::MoldDate:
        stored = assign(p.Molddate, text);
        report_.constructionDate = text;
        break;
    case ProjectField::TestDate:
        stored = assign(p.DATE, text);
        report_.testDate = text;
        break;
    }
    changed({-1, -1, ChangeProject}, stored);
    return {};
}

// --- typed entries ---

namespace {

std::u16string parsedFloat(const std::u16string& text, float& value) {
    return MathOperation::TextToFloat(text, value) ? std::u16string()
                                                   : MathOperation::tooLongMessage;
}

// The first message of an entry wins: a text too long to read gives 0, which no rule refuses.
std::u16string either(std::u16string first, std::u16string second) {
    return first.empty() ? second : first;
}

} // namespace

std::u16string CTavolinDoc::enterReading(int member, int area, int index,
                                         const std::u16string& text) {
    int value = 0;
    std::u16string message =
        MathOperation::TextToInt(text, value) ? std::u16string() : MathOperation::tooLongMessage;
    return either(message, setReading(member, area, index, value));
}

std::u16string CTavolinDoc::enterReboundMean(int member, int area, const std::u16string& text) {
    float value = 0.0f;
    std::u16string message = parsedFloat(text, value);
    return either(message, setReboundMean(member, area, value));
}

std::u16string CTavolinDoc::enterCarbon(int member, int area, const std::u16string& text) {
    float value = 0.0f;
    std::u16string message = parsedFloat(text, value);
    return either(message, setCarbon(member, area, value));
}

std::u16string CTavolinDoc::enterPathLength(int member, int area, int point,
                                            const std::u16string& text) {
    float value = 0.0f;
    std::u16string message = parsedFloat(text, value);
    return either(message, setPathLength(member, area, point, value));
}

std::u16string CTavolinDoc::enterBeta(int member, int area, const std::u16string& text) {
    float value = 0.0f;
    std::u16string message = parsedFloat(text, value);
    return either(message, setBeta(member, area, value));
}

std::u16string CTavolinDoc::enterLambda(int member, int area, const std::u16string& text) {
    float value = 0.0f;
    std::u16string message = parsedFloat(text, value);
    return either(message, setLambda(member, area, value));
}

std::u16string CTavolinDoc::enterCoefficient(int member, int which, const std::u16string& text) {
    float value = 0.0f;
    std::u16string message = parsedFloat(text, value);
    return either(message, setCoefficient(member, which, value));
}

std::u16string CTavolinDoc::enterEta(const std::u16string& text) {
    float value = 0.0f;
    std::u16string message = parsedFloat(text, value);
    return either(message, setEta(value));
}

} // namespace tavolin
