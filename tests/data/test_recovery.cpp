// Recovery snapshots: a job with every kind of edit comes back whole in another document, even
// after its file was replaced; damaged snapshots give their message and change nothing.
#include "data/doc.h"
#include "data/recovery.h"
#include "support/files.h"
#include "support/jobbuilder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tavolin;
using namespace tavolin::testing;

namespace {

class Recovery : public ::testing::Test {
protected:
    void SetUp() override {
        JobBuilder job;
        job.member(u"梁A").area(same(40)).area(ascending());
        job.member(u"柱B").area(same(35));
        path = dir.path("job.SHA");
        ASSERT_EQ(WriteResultFile(path, job.build()), u"");
        ASSERT_EQ(doc.open(path), u"");
        folder = dir.path("snap");
        std::filesystem::create_directory(folder);
    }
    // Edits whose values the result file rounds or cannot hold at all.
    void edit() {
        doc.setStandard(1);
        doc.setReading(0, 1, 4, 47);
        doc.setReboundMean(0, 0, 41.23f); // typed mean: not in the file
        doc.setCarbon(1, 0, 1.234567f);   // more digits than the file keeps
        doc.setPumped(1, true);           // not in the file
        doc.setCurve(0, CurveCustom);
        doc.setCoefficient(0, 0, 0.0123457f);
        doc.setArrival(1, 0, 2, 131);
        doc.setPosition(0, 1, u"顶面\t底面\\"); // a text with the characters that need escapes
        doc.renameMember(1, u"新柱");
        doc.setProjectText(ProjectField::Site, u"工程\n二");
    }

    ScratchDir dir;
    std::string path, folder;
    CTavolinDoc doc;
};

TEST_F(Recovery, AnEditedJobComesBackWholeUnderItsOwnPath) {
    edit();
    ASSERT_EQ(doc.writeRecovery(folder, 1700000000), u"");
    // The job's own file is replaced meanwhile: the snapshot keeps what the job was read from.
    JobBuilder other;
    other.member(u"别的").area(same(20));
    ASSERT_EQ(WriteResultFile(path, other.build()), u"");

    RecoveryInfo info;
    ASSERT_EQ(readRecoveryInfo(folder, info), u"");
    EXPECT_EQ(info.originalPath, path);
    EXPECT_EQ(info.name, u"job.SHA");
    EXPECT_EQ(info.time, 1700000000);

    CTavolinDoc restored;
    ASSERT_EQ(restored.restoreRecovery(folder), u"");
    EXPECT_EQ(restored.path(), path);
    EXPECT_TRUE(restored.isModified());
    EXPECT_FALSE(restored.canUndo());
    EXPECT_EQ(restored.standard(), 1);
    EXPECT_EQ(restored.project(), doc.project());
    EXPECT_EQ(restored.members(), doc.members());
    // How each pick came about (by hand, automatic, needing review) lives in the open job only,
    // as in the job's files: the snapshot brings the picks back as read.
    std::vector<AreaList> areas = doc.job().areas;
    for (AreaList& list : areas)
        for (TestArea& a : list)
            for (TestPoint& p : a.points) {
                p.pickOrigin = PickOrigin::File;
                p.pickConfidence = -1.0f;
            }
    EXPECT_EQ(restored.job().areas, areas);
    EXPECT_EQ(restored.result().FCUE, doc.result().FCUE);
}

TEST_F(Recovery, ADamagedSnapshotLeavesTheOpenJob) {
    edit();
    ASSERT_EQ(doc.writeRecovery(folder, 1), u"");
    const std::string file = folder + "/" + kRecoveryFile;
    const std::string good = readBytes(file);
    CTavolinDoc other;
    ASSERT_EQ(other.open(path), u"");
    const auto areas = other.job().areas;
    const auto cut = [&](const std::string& from) { return good.substr(0, good.find(from)); };
    const std::string damaged[] = {
        "",
        cut("end\n"),                   // cut short
        cut("areas\t1") + "areas\t7\n", // more areas than the job has
        good.substr(0, good.rfind("\t131\t")) + "\t99999" + good.substr(good.rfind("\t131\t") + 4),
        std::string("tavolin-recovery 9\n") + good.substr(good.find('\n') + 1),
    };
    for (const std::string& bytes : damaged) {
        writeBytes(file, bytes);
        EXPECT_EQ(other.restoreRecovery(folder), u"恢复文件已损坏") << bytes.size();
        EXPECT_EQ(other.job().areas, areas);
        EXPECT_FALSE(other.isModified());
    }
    std::filesystem::remove(folder + "/job.SHD");
    writeBytes(file, good);
    EXPECT_NE(other.restoreRecovery(folder), u"");
    EXPECT_EQ(other.job().areas, areas);
}

} // namespace
