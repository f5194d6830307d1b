// The document's edits of curves and corrections: a library curve for a member, eta from
// specimens, and the library itself.
#include "data/doc.h"

#include "data/curvelibrary.h"

namespace tavolin {

std::u16string CTavolinDoc::applyCores(const std::vector<Specimen>& specimens) {
    if (!isOpen())
        return u"请先打开文件!";
    CoreResult result;
    if (std::u16string error = correctionFromJob(job_, *algorithm_, specimens, {}, result);
        !error.empty())
        return error;
    const float eta = result.correction.eta;
    bool stored = job_.project.ETA != eta;
    job_.project.ETA = eta;
    for (AreaList& areas : job_.areas)
        for (TestArea& area : areas) {
            stored = stored || area.ETA != eta;
            area.ETA = eta;
        }
    const bool sameSpecimens =
        specimens.size() == job_.specimens.size() &&
        std::equal(specimens.begin(), specimens.end(), job_.specimens.begin(),
                   [](const Specimen& x, const Specimen& y) {
                       return x.member == y.member && x.area == y.area && x.kind == y.kind &&
                              x.strength == y.strength;
                   });
    stored = stored || !sameSpecimens;
    job_.specimens = specimens;
    computeAll();
    changed({-1, -1, ChangeEta | ChangeSpecimens | ChangeStrength | ChangeEvaluation}, stored);
    return {};
}

std::u16string CTavolinDoc::setNamedCurve(int member, const std::u16string& name) {
    if (!this->member(member))
        return {};
    const NamedCurve* curve = curves_.find(name);
    if (!curve)
        return u"曲线库中没有名为“" + name + u"”的曲线";
    MemberInfo& m = job_.members[static_cast<size_t>(member)];
    const MemberInfo before = m;
    useNamedCurve(m, *curve);
    // The file keeps the coefficients, not the curve or its name.
    const bool stored = m.A != before.A || m.B != before.B || m.C != before.C;
    recomputeMember(member);
    changed({member, -1, ChangeMember | ChangeCurves | ChangeStrength | ChangeEvaluation}, stored);
    return {};
}

void CTavolinDoc::setCurveLibrary(const CurveLibrary& library) {
    curves_ = library;
    nameMemberCurves(job_, curves_);
    markOutsideCurves(job_, curves_, evaluation_);
    if (isOpen())
        changed({-1, -1, ChangeCurves}, false);
}

int CTavolinDoc::outsideCount(int member) const {
    if (member < 0 || member >= static_cast<int>(evaluation_.areas.size()))
        return 0;
    int n = 0;
    for (const AreaStrength& s : evaluation_.areas[static_cast<size_t>(member)])
        n += s.outsideCurve != InsideCurve ? 1 : 0;
    return n;
}

} // namespace tavolin
