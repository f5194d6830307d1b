// CTavolinDoc: the single owner of one job, its algorithm, tables, report records and navigation.
#pragma once

#include "calc/algorithm.h"
#include "calc/correctiontables.h"
#include "data/datafile.h"
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
};

struct FilterSettings {
    float highKHz = 20.0f;
    float lowKHz = 50.0f;
    bool highOn = false;
    bool lowOn = false;
};

class CTavolinDoc {
public:
    static inline const std::u16string baseTitle = u"超声回弹综合法测强软件   Fennick";

    CTavolinDoc();
    ~CTavolinDoc();
    CTavolinDoc(const CTavolinDoc&) = delete;
    CTavolinDoc& operator=(const CTavolinDoc&) = delete;

    void addObserver(DocObserver* observer);
    void removeObserver(DocObserver* observer);

    // --- the job ---
    bool isOpen() const { return job_.memberCount != -1; }
    int memberCount() const { return job_.memberCount; }
    JobData& job() { return job_; }
    const JobData& job() const { return job_; }
    ProjectInfo& project() { return job_.project; }
    std::vector<MemberInfo>& members() { return job_.members; }
    AreaList& areasOf(int member) { return job_.areas.at(member); }
    Result& result() { return job_.result; }

    // Reads into fresh records and replaces the contents only when the whole read succeeded.
    // Returns the failure message (empty on success); the previous job stays intact on failure.
    std::u16string open(const std::string& path, const ReadOptions& options = {});
    // "新建": no file is open any more; the job's records are freed. The project information,
    // the report records, the tables and the standard stay as they are.
    void newDocument();
    // Save by extension: ".SHT" raw, ".SHA" result, else "无法识别的文件类型".
    std::u16string save(const std::string& path);
    // "保存结果": write a result file to `path`, then open it. "请先打开文件!" when nothing is
    // open.
    std::u16string saveResult(const std::string& path, const ReadOptions& options = {});
    // The path proposed by "保存结果": the document path cut before its first ".".
    std::string proposedResultPath() const;

    const std::string& path() const { return path_; }
    std::u16string fileName() const; // text after the last path separator
    std::u16string title() const;    // window title for the current state

    bool isModified() const { return modified_; }
    void setModified(bool modified = true);

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
    bool canGoPrevious() const;
    bool canGoNext() const;
    // Return the message when the move is impossible ("当前为构件第一个测区"), else "".
    std::u16string previousArea();
    std::u16string nextArea();

    // --- algorithm and tables ---
    int standard() const { return standard_; }
    void setStandard(int standard);
    CAlgorithm& algorithm() { return *algorithm_; }
    CorrectionTables& tables() { return tables_; }

    // Derived values of one area (T, point velocities and amplitudes, v, va).
    void computeDerived(TestArea& area);

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
    void notifyAreaChanged();
    void notifyTitle();
    template <class F> void notifyAll(F&& f);

    JobData job_;
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
};

} // namespace tavolin
