// The document's history: every edit undone and redone over a table of edits (the job compared
// whole), the saved state, merged typing, compound steps and a fresh history per job.
#include "data/doc.h"
#include "support/files.h"
#include "support/jobbuilder.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace tavolin;
using namespace tavolin::testing;

namespace {

// Everything an edit may change, derived values included, compared whole.
struct State {
    ProjectInfo project;
    std::vector<MemberInfo> members;
    std::vector<AreaList> areas;
    float mf, sf, fcue;
    int standard;
    ReportInfo report;
    bool operator==(const State&) const = default;
};

State stateOf(CTavolinDoc& doc) {
    const Result& r = doc.result();
    return {doc.project(), doc.members(), doc.job().areas, r.MF,
            r.SF,          r.FCUE,        doc.standard(),  doc.reportInfo()};
}

struct EditCase {
    const char16_t* step;                      // the name the menus show
    std::function<void(CTavolinDoc&)> prepare; // not part of the step
    std::function<void(CTavolinDoc&)> edit;
    // Pumped, standard, tables and the filter are not kept by the files.
    std::optional<bool> marksModified;
};

const EditCase kCases[] = {
    {u"输入回弹值", {}, [](CTavolinDoc& d) { d.setReading(0, 1, 3, 50); }, true},
    {u"输入回弹平均值", {}, [](CTavolinDoc& d) { d.setReboundMean(0, 0, 42.5f); }, true},
    {u"输入碳化深度", {}, [](CTavolinDoc& d) { d.setCarbon(0, 2, 2.5f); }, true},
    {u"选择测试角度", {}, [](CTavolinDoc& d) { d.setAngle(1, 0, 45); }, true},
    {u"选择测试平面", {}, [](CTavolinDoc& d) { d.setPlane(1, 1, FaceTop); }, true},
    {u"输入测距", {}, [](CTavolinDoc& d) { d.setPathLength(0, 0, 1, 250.0f); }, true},
    {u"拾取首波", {}, [](CTavolinDoc& d) { d.setArrival(0, 1, 2, 120, true); }, true},
    {u"选择测试方式", {}, [](CTavolinDoc& d) { d.setMethod(0, 0, MethodOpposite); }, true},
    {u"选择测试位置", {}, [](CTavolinDoc& d) { d.setPosition(0, 0, u"底面"); }, true},
    // A position the rule does not know leaves beta to the user.
    {u"输入β修正值", [](CTavolinDoc& d) { d.setPosition(0, 2, u"其他"); },
     [](CTavolinDoc& d) { d.setBeta(0, 2, 1.2f); }, true},
    // Plane tests ("平测") leave lambda to the user.
    {u"输入λ修正值", [](CTavolinDoc& d) { d.setMethod(1, 0, MethodSameSide); },
     [](CTavolinDoc& d) { d.setLambda(1, 0, 0.9f); }, true},
    {u"选择粗骨料", {}, [](CTavolinDoc& d) { d.setCurve(0, CurvePebble); }, true},
    {u"输入系数b", [](CTavolinDoc& d) { d.setCurve(1, CurveCustom); },
     [](CTavolinDoc& d) { d.setCoefficient(1, 1, 1.5f); }, true},
    {u"输入强度修正系数η", {}, [](CTavolinDoc& d) { d.setEta(1.1f); }, true},
    {u"更改泵送", [](CTavolinDoc& d) { d.setStandard(1); },
     [](CTavolinDoc& d) { d.setPumped(0, true); }, true},
    // The standard, the tables and pumping change the strengths and the batch the file keeps.
    {u"选择规范", {}, [](CTavolinDoc& d) { d.setStandard(1); }, true},
    // A reading of 30 at +90 degrees: the edited cell of the angle table applies to it.
    {u"修改修正表", [](CTavolinDoc& d) { d.setAngle(0, 1, 90); },
     [](CTavolinDoc& d) {
         CorrectionTables t = d.tables();
         t.AngleCecs[2][0] += 1.0f;
         d.setTables(t);
     },
     true},
    {u"重命名构件", {}, [](CTavolinDoc& d) { d.renameMember(1, u"新柱"); }, true},
    {u"修改工程名称",
     {},
     [](CTavolinDoc& d) { d.setProjectText(ProjectField::Site, u"新工程"); },
     true},
    {u"修改检测日期",
     {},
     [](CTavolinDoc& d) { d.setProjectText(ProjectField::TestDate, u"2024-5-6"); },
     true},
    {u"芯样修正",
     {},
     [](CTavolinDoc& d) {
         d.applyCores({{0, 0, SpecimenCore, 30.0f},
                       {0, 1, SpecimenCore, 31.0f},
                       {1, 0, SpecimenCube, 30.0f},
                       {1, 1, SpecimenCore, 33.0f}});
     },
     true},
    // The picker's verdict on every point is recorded even where it keeps the arrival, so
    // whether the files change depends on the waveforms: the flag is checked elsewhere.
    {u"自动判读全部", {}, [](CTavolinDoc& d) { d.autoPick(-1, -1); }, std::nullopt},
    {u"自动判读当前构件", {}, [](CTavolinDoc& d) { d.autoPick(1, -1); }, std::nullopt},
    {u"滤波", [](CTavolinDoc& d) { d.filter().highOn = true; },
     [](CTavolinDoc& d) { d.applyFilter(); }, false},
};

class DocUndo : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.path("job.SHA");
        ASSERT_EQ(WriteResultFile(path, twoMemberJob()), u"");
        ASSERT_EQ(doc.open(path), u"");
    }
    State state() { return stateOf(doc); }

    ScratchDir dir;
    std::string path;
    CTavolinDoc doc;
};

TEST_F(DocUndo, EveryEditIsOneStepThatUndoesAndRedoesWhole) {
    for (const EditCase& c : kCases) {
        SCOPED_TRACE(&c - kCases);
        // Settings of the program, not of the job: back to the defaults for every case.
        doc.setStandard(0);
        doc.setTables(CorrectionTables{});
        ASSERT_EQ(doc.open(path), u"");
        if (c.prepare)
            c.prepare(doc);
        // The prepared job is the saved state (in a file of its own: the next case starts anew).
        ASSERT_EQ(doc.save(dir.path("case.SHA")), u"");
        const size_t steps = doc.history().index();
        const State before = state();
        c.edit(doc);
        const State after = state();
        EXPECT_NE(after, before);
        EXPECT_EQ(doc.undoName(), c.step);
        if (c.marksModified)
            EXPECT_EQ(doc.isModified(), *c.marksModified);
        EXPECT_EQ(doc.history().index(), steps + 1);

        doc.undo();
        EXPECT_EQ(state(), before);
        EXPECT_FALSE(doc.isModified());
        EXPECT_EQ(doc.redoName(), c.step);

        doc.redo();
        EXPECT_EQ(state(), after);
        if (c.marksModified)
            EXPECT_EQ(doc.isModified(), *c.marksModified);
        EXPECT_FALSE(doc.canRedo());
    }
}

TEST_F(DocUndo, TheSavedStateIsUnmodifiedFromEitherSide) {
    doc.setReading(0, 0, 0, 41);
    doc.setReading(0, 0, 1, 42);
    ASSERT_EQ(doc.save(path), u"");
    doc.setReading(0, 0, 2, 43);
    EXPECT_TRUE(doc.isModified());
    doc.undo();
    EXPECT_FALSE(doc.isModified());
    doc.undo();
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.area(0, 0)->R[1], 40);
    doc.redo();
    EXPECT_FALSE(doc.isModified());
    // A new edit below the saved state drops the steps that led to it: no way back to clean.
    doc.undo();
    doc.setReading(0, 0, 5, 44);
    EXPECT_FALSE(doc.canRedo());
    doc.undo();
    EXPECT_TRUE(doc.isModified());
}

TEST_F(DocUndo, TypingIntoOneFieldIsOneStepAndTheSameValueIsNone) {
    const State before = state();
    for (const char16_t* text : {u"新", u"新工", u"新工程"})
        doc.setProjectText(ProjectField::Site, text);
    doc.setReading(0, 0, 0, 40); // the reading it already has
    EXPECT_EQ(doc.history().size(), 1u);
    doc.undo();
    EXPECT_EQ(state(), before);
    EXPECT_EQ(doc.reportInfo().projectName, before.report.projectName);
}

TEST_F(DocUndo, ACompoundEditIsOneStepAndMovesToItsArea) {
    const State before = state();
    doc.beginCompoundEdit(u"自动拾取");
    for (int point = 0; point < 3; ++point)
        doc.setArrival(1, 1, point, 100 + point);
    doc.setReading(1, 1, 0, 20);
    doc.endCompoundEdit();
    const State after = state();
    ASSERT_EQ(doc.history().size(), 1u);
    EXPECT_EQ(doc.undoName(), u"自动拾取");
    doc.undo();
    EXPECT_EQ(state(), before);
    EXPECT_EQ(doc.currentMember(), 1);
    EXPECT_EQ(doc.currentAreaIndex(), 1);
    doc.redo();
    EXPECT_EQ(state(), after);
}

TEST_F(DocUndo, OpenAndNewStartAFreshHistory) {
    doc.setReading(0, 0, 0, 41);
    ASSERT_EQ(doc.open(path), u"");
    EXPECT_FALSE(doc.canUndo());
    doc.setReading(0, 0, 0, 41);
    doc.newDocument();
    EXPECT_FALSE(doc.canUndo());
    doc.undo(); // nothing open, nothing to undo
    EXPECT_FALSE(doc.isOpen());
}

} // namespace
