// CTavolinDoc: the edit operations of the job and the recomputes they set off.
#include "data/doc.h"

#include "data/fixedtext.h"
#include "data/format.h"
#include "data/jobrules.h"
#include "data/labels.h"
#include "data/mathoperation.h"
#include "sonic/autopick.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

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

// --- what the result file can hold ---

namespace {

// The columns of the result file that an edit can overflow, "%8.1f" and "%8.2f": a wider
// number would shift every following column, so the writer refuses the whole file.
constexpr int kColumnWidth = 8;
constexpr std::u16string_view kRange1 = u"-99999.9～999999.9";
constexpr std::u16string_view kRange2 = u"-99999.99～999999.99";

bool fitsColumn(float value, int precision) {
    char text[400];
    return fixedText(value, precision, text) <= static_cast<size_t>(kColumnWidth);
}

std::u16string refusal(std::u16string_view what, const std::u16string& value,
                       const std::u16string& because) {
    return std::u16string(what) + u" " + value + because + u"，未采用";
}

} // namespace

std::u16string CTavolinDoc::unwritableValue(int member) const {
    auto describe = [](std::u16string_view name, float value, int precision) {
        return u"会使" + std::u16string(name) + u" = " + formatFixed(value, precision) +
               u"超出结果文件可保存的范围（" + std::u16string(precision == 1 ? kRange1 : kRange2) +
               u"）";
    };
    const size_t members = std::min(job_.members.size(), job_.areas.size());
    for (size_t m = 0; m < members; ++m) {
        if (member >= 0 && static_cast<size_t>(member) != m)
            continue;
        for (const TestArea& a : job_.areas[m])
            if (!fitsColumn(a.FCUI, 1))
                return describe(u"测区强度fcui", a.FCUI, 1);
    }
    const Result& r = job_.result;
    if (!fitsColumn(r.MF, 1))
        return describe(u"强度平均值", r.MF, 1);
    if (!fitsColumn(r.SF, 2))
        return describe(u"强度标准差", r.SF, 2);
    if (!fitsColumn(r.FCUE, 1))
        return describe(u"强度推定值", r.FCUE, 1);
    return {};
}

// The funnel of every area edit: `apply` changes the area and says whether a stored value
// changed; the area, its member and the batch are recomputed; an edit that would leave a value
// the result file cannot hold is taken back whole; the document is marked and told through
// changed(). One edit is one call, so it can be recorded and undone as one.
template <class Apply>
std::u16string CTavolinDoc::editArea(int member, int area, unsigned fields, bool points,
                                     std::u16string_view what, const std::u16string& value,
                                     Apply&& apply) {
    TestArea* a = editableArea(member, area);
    if (!a)
        return {};
    const bool writable = unwritableValue(member).empty();
    const TestArea before = *a;
    std::u16string message;
    const bool stored = apply(*a, message);
    recomputeArea(member, area, points);
    if (stored && writable) {
        if (std::u16string why = unwritableValue(member); !why.empty()) {
            *a = before;
            recomputeArea(member, area, points);
            return refusal(what, value, why);
        }
    }
    changed({member, area, fields | ChangeStrength | ChangeEvaluation}, stored);
    return message;
}

// The funnel of every member edit, as editArea for the member's record.
template <class Apply>
std::u16string CTavolinDoc::editMember(int member, std::u16string_view what,
                                       const std::u16string& value, Apply&& apply) {
    if (!this->member(member))
        return {};
    MemberInfo& m = job_.members[static_cast<size_t>(member)];
    const bool writable = unwritableValue(member).empty();
    const MemberInfo before = m;
    const bool stored = apply(m);
    recomputeMember(member);
    if (stored && writable) {
        if (std::u16string why = unwritableValue(member); !why.empty()) {
            m = before;
            recomputeMember(member);
            return refusal(what, value, why);
        }
    }
    changed({member, -1, ChangeMember | ChangeStrength | ChangeEvaluation}, stored);
    return {};
}

// --- area edits ---

std::u16string CTavolinDoc::setReading(int member, int area, int index, int value) {
    record(u"输入回弹值", {TouchArea, member, area});
    if (index < 0 || index >= 16)
        return {};
    return editArea(member, area, ChangeReadings, false, u"回弹值", formatInt(value),
                    [&](TestArea& a, std::u16string& message) {
                        int& reading = a.R[static_cast<size_t>(index)];
                        int v = value;
                        if (v < 0) {
                            v = 0;
                        } else if (v > 9999) {
                            message = kReadingTooLarge;
                            v = reading < 0 ? 35 : reading;
                        }
                        return assign(reading, v);
                    });
}

std::u16string CTavolinDoc::setReboundMean(int member, int area, float value) {
    record(u"输入回弹平均值", {TouchArea, member, area});
    value = limited(value, 20.0f, 50.0f);
    return editArea(member, area, ChangeReadings, false, u"回弹平均值R", formatFixed(value, 1),
                    [&](TestArea& a, std::u16string&) {
                        bool stored = assign(a.reboundMean, value);
                        return assign(a.reboundFlag, 1) || stored;
                    });
}

std::u16string CTavolinDoc::clearReboundMean(int member, int area) {
    record(u"删除回弹平均值", {TouchArea, member, area});
    // The mean follows the readings again: recomputed from them.
    return editArea(member, area, ChangeReadings, false, u"回弹平均值R", u"",
                    [](TestArea& a, std::u16string&) { return assign(a.reboundFlag, 0); });
}

std::u16string CTavolinDoc::setCarbon(int member, int area, float value) {
    record(u"输入碳化深度", {TouchArea, member, area});
    // No range of its own: the value is kept as typed, as far as the file can hold it; a
    // non-number must not reach the strengths.
    if (!std::isfinite(value))
        value = 0.0f;
    if (!fitsColumn(value, 1))
        return refusal(u"碳化深度", formatFixed(value, 1),
                       u"超出结果文件可保存的范围（" + std::u16string(kRange1) + u"）");
    return editArea(member, area, ChangeCarbon, false, u"碳化深度", formatFixed(value, 1),
                    [&](TestArea& a, std::u16string&) { return assign(a.CARBON, value); });
}

std::u16string CTavolinDoc::setAngle(int member, int area, int angle) {
    record(u"选择测试角度", {TouchArea, member, area});
    if (std::find(std::begin(kAngles), std::end(kAngles), angle) == std::end(kAngles))
        angle = 0;
    return editArea(member, area, ChangeAngle, false, u"回弹角度", formatInt(angle),
                    [&](TestArea& a, std::u16string&) { return assign(a.ANGLE, angle); });
}

std::u16string CTavolinDoc::setPlane(int member, int area, int plane) {
    record(u"选择测试平面", {TouchArea, member, area});
    if (plane < FaceSide || plane > FaceBottom)
        plane = FaceNone;
    return editArea(member, area, ChangePlane, false, u"回弹测试面",
                    std::u16string(faceLabel(plane)),
                    [&](TestArea& a, std::u16string&) { return assign(a.PLANE, plane); });
}

std::u16string CTavolinDoc::setPathLength(int member, int area, int point, float value) {
    record(u"输入测距", {TouchArea, member, area});
    if (point < 0 || point > 2)
        return {};
    value = limited(value, 0.0f, 10000.0f);
    return editArea(member, area, ChangePath, true, u"测距L", formatFixed(value, 0),
                    [&](TestArea& a, std::u16string&) {
                        return assign(a.points[static_cast<size_t>(point)].L, value);
                    });
}

std::u16string CTavolinDoc::setArrival(int member, int area, int point, int index,
                                       bool withAmplitude) {
    const TestArea* current = this->area(member, area);
    if (!current || point < 0 || point > 2 ||
        !current->points[static_cast<size_t>(point)].hasWaveform())
        return {};
    // The first sample is never an arrival: the trigger sits there.
    const int last = static_cast<int>(current->points[static_cast<size_t>(point)].samples.size());
    index = std::clamp(index, 1, std::max(1, last - 1));
    record(u"拾取首波", {TouchArea, member, area});
    return editArea(member, area, ChangeArrival, true, u"首波位置", formatInt(index),
                    [&](TestArea& a, std::u16string&) {
                        TestPoint& p = a.points[static_cast<size_t>(point)];
                        bool stored = assign(p.arrivalIndex, index);
                        // The amplitude is that of the first half-cycle after the pick, not of
                        // the sample clicked.
                        if (withAmplitude)
                            stored = assign(p.ampIndex,
                                            firstHalfCycleIndex(p.samples.data(),
                                                                static_cast<int>(p.samples.size()),
                                                                index)) ||
                                     stored;
                        p.pickOrigin = PickOrigin::Hand;
                        return stored;
                    });
}

std::u16string CTavolinDoc::setMethod(int member, int area, int method) {
    record(u"选择测试方式", {TouchArea, member, area});
    if (method < MethodCorner || method > MethodOpposite)
        return {};
    return editArea(
        member, area, ChangeMethod | ChangeBetaLambda, false, u"测试方式",
        std::u16string(labelOf(kMethodLabels, method, u"")), [&](TestArea& a, std::u16string&) {
            bool stored = assign(a.TMETHOD, method);
            stored = assign(a.TESTLOC, std::u16string(method == MethodOpposite ? kPositionSide
                                                                               : kPositionTop)) ||
                     stored;
            return applyFactorRule(a) || stored;
        });
}

std::u16string CTavolinDoc::setPosition(int member, int area, const std::u16string& position) {
    record(u"选择测试位置", {TouchArea, member, area});
    const std::u16string kept = position.substr(0, kPositionWidth);
    return editArea(member, area, ChangeMethod | ChangeBetaLambda, false, u"测试位置", kept,
                    [&](TestArea& a, std::u16string&) {
                        bool stored = assign(a.TESTLOC, kept);
                        return applyFactorRule(a) || stored;
                    });
}

std::u16string CTavolinDoc::setBeta(int member, int area, float value) {
    record(u"输入β修正值", {TouchArea, member, area});
    value = limited(value, 0.0f, 10.0f);
    return editArea(member, area, ChangeBetaLambda, false, u"β修正值", formatFixed(value, 3),
                    [&](TestArea& a, std::u16string&) {
                        // A beta the method and position imply is the rule's, not the user's.
                        return !factorRuleOf(a.TMETHOD, a.TESTLOC).beta && assign(a.BETA, value);
                    });
}

std::u16string CTavolinDoc::setLambda(int member, int area, float value) {
    record(u"输入λ修正值", {TouchArea, member, area});
    value = limited(value, 0.0f, 10.0f);
    return editArea(member, area, ChangeBetaLambda, false, u"λ修正值", formatFixed(value, 3),
                    [&](TestArea& a, std::u16string&) {
                        return !factorRuleOf(a.TMETHOD, a.TESTLOC).lamda && assign(a.LAMDA, value);
                    });
}

// --- member edits ---

std::u16string CTavolinDoc::setCurve(int member, int curve) {
    record(u"选择粗骨料", {TouchMember, member});
    if (curve < CurveCustom || curve > CurveCrushed)
        return {};
    return editMember(member, u"粗骨料", std::u16string(curveLabel(curve)), [&](MemberInfo& m) {
        const MemberInfo before = m;
        m.curve = curve;
        m.curveName.clear();
        if (curve == CurveCustom)
            m.A = m.B = m.C = 0.0f;
        else
            applyCurveRule(m, standard_);
        return m.A != before.A || m.B != before.B || m.C != before.C;
    });
}

std::u16string CTavolinDoc::setCoefficient(int member, int which, float value) {
    if (which < 0 || which > 2)
        return {};
    // Kept at the decimals the result file and the form give it (a 4, b and c 3): what is shown
    // reads back as what is stored, and saving changes no strength.
    const int decimals = which == 0 ? 4 : 3;
    const double scale = which == 0 ? 1e4 : 1e3;
    value = static_cast<float>(
        std::nearbyint(static_cast<double>(limited(value, 0.0f, 10.0f)) * scale) / scale);
    constexpr std::u16string_view names[3] = {u"系数a", u"系数b", u"系数c"};
    static constexpr const char16_t* steps[] = {u"输入系数a", u"输入系数b", u"输入系数c"};
    record(steps[which], {TouchMember, member});
    return editMember(member, names[which], formatFixed(value, decimals), [&](MemberInfo& m) {
        // A named curve's coefficients are its standard's and stay.
        if (m.curve != CurveCustom)
            return false;
        const bool stored = assign(which == 0 ? m.A : (which == 1 ? m.B : m.C), value);
        // Typed coefficients keep a curve's name only while they are still that curve's.
        m.curveName = curveNameFor(curves_, m.A, m.B, m.C);
        return stored;
    });
}

std::u16string CTavolinDoc::setPumped(int member, bool pumped) {
    record(u"更改泵送", {TouchMember, member});
    // The files do not store the flag, but the strengths and the batch it changes are stored.
    return editMember(member, u"泵送", pumped ? u"是" : u"否",
                      [&](MemberInfo& m) { return assign(m.pumped, pumped ? 1 : 0); });
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
    record(u"输入强度修正系数η", {TouchProject | TouchAreaEta | TouchSpecimens});
    value = limited(value, 0.0f, 10.0f);
    const bool writable = unwritableValue(-1).empty();
    // The specimens no longer say where a different eta came from.
    const bool replaced = value != job_.project.ETA && !job_.specimens.empty();
    const std::vector<Specimen> specimensBefore = job_.specimens;
    if (replaced)
        job_.specimens.clear();
    // Every area converts with its own eta: the project's value alone would change nothing.
    std::vector<float> before{job_.project.ETA};
    bool stored = assign(job_.project.ETA, value) || replaced;
    for (AreaList& areas : job_.areas)
        for (TestArea& area : areas) {
            before.push_back(area.ETA);
            stored = assign(area.ETA, value) || stored;
        }
    computeAll();
    if (stored && writable) {
        if (std::u16string why = unwritableValue(-1); !why.empty()) {
            auto old = before.begin();
            job_.project.ETA = *old++;
            for (AreaList& areas : job_.areas)
                for (TestArea& area : areas)
                    area.ETA = *old++;
            job_.specimens = specimensBefore;
            computeAll();
            return refusal(u"强度修正系数η", formatFixed(value, 2), why);
        }
    }
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
    // Deleting the typed mean gives the area back the mean of its readings.
    if (std::all_of(text.begin(), text.end(), [](char16_t c) { return c == u' '; }))
        return clearReboundMean(member, area);
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
