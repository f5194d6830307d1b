// Writes the records of an evaluated job under their own field names.
#include "cli/jobjson.h"

#include "cli/json.h"
#include "data/format.h"

#include <algorithm>
#include <iterator>

namespace tavolin::cli {

namespace {

void writeProject(JsonWriter& w, const ProjectInfo& p) {
    w.beginObject();
    w.key("INST").value(p.INST);
    w.key("SITE").value(p.SITE);
    w.key("DATE").value(p.DATE);
    w.key("UNIT").value(p.UNIT);
    w.key("PERSON").value(p.PERSON);
    w.key("Molddate").value(p.Molddate);
    w.key("Delay").value(p.Delay);
    w.key("spare").value(p.spare);
    w.key("Method").value(p.Method);
    w.key("SPOT").value(p.SPOT);
    w.key("BETA").value(p.BETA);
    w.key("LAMDA").value(p.LAMDA);
    w.key("ETA").value(p.ETA);
    w.endObject();
}

void writePoint(JsonWriter& w, const TestArea& area, int j) {
    const TestPoint& point = area.points[j];
    w.beginObject();
    w.key("hasWaveform").value(point.hasWaveform());
    w.key("L").value(point.L);
    w.key("Gain").value(point.Gain);
    w.key("Delay").value(point.Delay);
    w.key("arrivalIndex").value(point.arrivalIndex);
    w.key("ampIndex").value(point.ampIndex);
    w.key("T").value(area.pointTime[j]);
    w.key("V").value(area.pointVelocity[j]);
    w.key("A").value(area.pointAmplitude[j]);
    w.endObject();
}

void writeArea(JsonWriter& w, const TestArea& a, const AreaStrength* s) {
    w.beginObject();
    w.key("SI").value(a.SI);
    w.key("RATNO").value(a.RATNO);
    w.key("dT").value(a.dT);
    w.key("Delay").value(a.Delay);
    w.key("TMETHOD").value(a.TMETHOD);
    w.key("TESTLOC").value(a.TESTLOC);
    w.key("BETA").value(a.BETA);
    w.key("LAMDA").value(a.LAMDA);
    w.key("ETA").value(a.ETA);
    w.key("R");
    w.beginArray(true);
    for (int r : a.R)
        w.value(r);
    w.endArray();
    w.key("reboundFlag").value(a.reboundFlag);
    w.key("reboundMean").value(a.reboundMean);
    // A typed mean has no excluded readings. Each group of three is listed in reading order;
    // the order of the selection's slots carries no meaning.
    w.key("excluded");
    if (s && s->extremesValid) {
        int positions[6];
        std::copy(std::begin(s->extremes), std::end(s->extremes), positions);
        std::sort(positions, positions + 3);
        std::sort(positions + 3, positions + 6);
        w.beginArray(true);
        for (int k : positions)
            w.value(k);
        w.endArray();
    } else {
        w.null();
    }
    w.key("ANGLE").value(a.ANGLE);
    w.key("ANGLEAM").value(a.ANGLEAM);
    w.key("PLANE").value(a.PLANE);
    w.key("PLANEAM").value(a.PLANEAM);
    w.key("correctedRebound");
    if (s)
        w.value(s->correctedRebound);
    else
        w.null();
    w.key("RA").value(a.RA);
    w.key("CARBON").value(a.CARBON);
    w.key("FCUI").value(a.FCUI);
    w.key("outside_curve").value(s && s->outsideCurve != InsideCurve);
    w.key("velocity").value(a.velocity);
    w.key("correctedVelocity").value(a.correctedVelocity);
    w.key("points");
    w.beginArray();
    for (int j = 0; j < 3; ++j)
        writePoint(w, a, j);
    w.endArray();
    w.endObject();
}

void writeMemberEvaluation(JsonWriter& w, const MemberEvaluation& e) {
    w.beginObject();
    w.key("N").value(e.N);
    w.key("Fmin").value(e.Fmin);
    w.key("Fmax").value(e.Fmax);
    w.key("Mf").value(e.Mf);
    w.key("Sf").value(e.Sf);
    w.key("Fcu").value(e.Fcu);
    w.key("status").value(statusName(e.status));
    w.endObject();
}

} // namespace

std::string jobToJson(const std::string& file, int standard, const JobData& job,
                      const JobEvaluation& evaluation, const CoreResult* cores) {
    std::string text;
    writeJobJson(
        file, standard, job, evaluation, [&](std::string_view piece) { text += piece; }, cores);
    return text;
}

namespace {

void writeCorrection(JsonWriter& w, const CoreResult& cores) {
    w.beginObject();
    w.key("n").value(cores.correction.n);
    w.key("eta").value(cores.correction.eta);
    w.key("pairs");
    w.beginArray();
    for (size_t i = 0; i < cores.specimens.size(); ++i) {
        const Specimen& s = cores.specimens[i];
        w.beginObject();
        w.key("member").value(s.member + 1);
        w.key("area").value(s.area + 1);
        w.key("fcu").value(static_cast<float>(cores.fcu[i]));
        w.key("fcor").value(s.strength);
        w.key("ratio").value(cores.correction.ratios[i]);
        w.endObject();
    }
    w.endArray();
    w.endObject();
}

} // namespace

void writeJobJson(const std::string& file, int standard, const JobData& job,
                  const JobEvaluation& evaluation,
                  const std::function<void(std::string_view)>& sink, const CoreResult* cores) {
    JsonWriter w(sink);
    w.beginObject();
    w.key("file").value(std::string_view(file));
    w.key("standard").value(standard);
    w.key("project");
    writeProject(w, job.project);
    w.key("members");
    w.beginArray();
    for (size_t m = 0; m < job.members.size(); ++m) {
        const MemberInfo& member = job.members[m];
        w.beginObject();
        w.key("SI").value(member.SI);
        w.key("PILEID").value(member.PILEID);
        w.key("DatLen").value(member.DatLen);
        w.key("dT").value(member.dT);
        w.key("pumped").value(member.pumped);
        w.key("curve").value(member.curve);
        w.key("A").value(member.A);
        w.key("B").value(member.B);
        w.key("C").value(member.C);
        w.key("curve_name");
        if (member.curveName.empty())
            w.null();
        else
            w.value(member.curveName);
        w.key("areas");
        w.beginArray();
        if (m < job.areas.size()) {
            const auto& areas = job.areas[m];
            for (size_t k = 0; k < areas.size(); ++k) {
                const AreaStrength* s =
                    m < evaluation.areas.size() && k < evaluation.areas[m].size()
                        ? &evaluation.areas[m][k]
                        : nullptr;
                writeArea(w, areas[k], s);
            }
        }
        w.endArray();
        w.key("evaluation");
        if (m < evaluation.members.size())
            writeMemberEvaluation(w, evaluation.members[m]);
        else
            w.null();
        w.endObject();
    }
    w.endArray();
    w.key("batch");
    w.beginObject();
    w.key("MF").value(evaluation.batch.MF);
    w.key("SF").value(evaluation.batch.SF);
    w.key("FCUE").value(evaluation.batch.FCUE);
    w.key("status").value(statusName(evaluation.batch.status));
    w.endObject();
    if (cores) {
        w.key("correction");
        writeCorrection(w, *cores);
    }
    w.endObject();
    w.flush();
}

} // namespace tavolin::cli
