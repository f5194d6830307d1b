// CTavolinDoc: opening and saving jobs, navigation, the standard, the filter and report records.
#include "data/doc.h"

#include "data/evaluation.h"
#include "data/format.h"
#include "data/jobrules.h"
#include "data/labels.h"
#include "data/textcodec.h"
#include "sonic/filter.h"

#include <algorithm>

namespace tavolin {

namespace {

std::string::size_type lastSeparator(const std::string& path) {
    return path.rfind('/');
}

} // namespace

CTavolinDoc::CTavolinDoc() : algorithm_(tavolin::makeAlgorithm(0, tables_)) {}

CTavolinDoc::~CTavolinDoc() = default;

void CTavolinDoc::addObserver(DocObserver* observer) {
    if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void CTavolinDoc::removeObserver(DocObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

template <class F> void CTavolinDoc::notifyAll(F&& f) {
    // A copy, so an observer may detach itself while being notified.
    const std::vector<DocObserver*> observers = observers_;
    for (DocObserver* observer : observers)
        f(*observer);
}

void CTavolinDoc::changed(const DocChange& change, bool stored) {
    fileStep(change, stored);
    if (stored)
        setModified(true);
    notifyAll([&](DocObserver& o) { o.jobChanged(change); });
}

void CTavolinDoc::notifyAreaChanged() {
    notifyAll([](DocObserver& o) { o.areaChanged(); });
}

void CTavolinDoc::notifyTitle() {
    const std::u16string text = title();
    notifyAll([&](DocObserver& o) { o.titleChanged(text); });
}

// --- the job ---

// The reader's notices go to the observers at once, then to the caller's own handler.
ReadOptions CTavolinDoc::withNotices(const ReadOptions& options) {
    ReadOptions readOptions = options;
    readOptions.notice = [this, outer = options.notice](const std::u16string& message) {
        notifyAll([&](DocObserver& o) { o.notice(message); });
        if (outer)
            outer(message);
    };
    return readOptions;
}

std::u16string CTavolinDoc::open(const std::string& path, const ReadOptions& options) {
    const ReadOptions readOptions = withNotices(options);

    // Read into fresh records: a failed read must leave the open job exactly as it was.
    JobData fresh;
    std::u16string error = ReadDataFile(path, fresh, readOptions);
    if (!error.empty())
        return error;
    if (isRawPath(path)) {
        for (MemberInfo& member : fresh.members) {
            member.curve = CurveCrushed;
            member.A = 0.0162f;
            member.B = 1.656f;
            member.C = 1.41f;
        }
    } else {
        // The files keep coefficients but no curve: recognise the curve from them.
        for (MemberInfo& member : fresh.members) {
            member.pumped = 0;
            member.curve = curveFromCoefficients(member.A, member.B, member.C);
        }
    }
    adopt(std::move(fresh), path);
    return {};
}

void CTavolinDoc::adopt(JobData&& fresh, const std::string& path) {
    currentMember_ = 0;
    currentArea_ = 0;
    selectedPoint_ = 0;

    job_.areas = std::move(fresh.areas);
    job_.project = std::move(fresh.project);
    job_.members = std::move(fresh.members);
    job_.sections = std::move(fresh.sections);
    job_.memberCount = fresh.memberCount;
    job_.specimens = std::move(fresh.specimens);
    if (fresh.hasResult)
        job_.result = fresh.result;
    job_.hasResult = fresh.hasResult;

    makeAlgorithm();
    // Every front end computes the job as it stands: point values, then the beta/lambda rule,
    // the coefficient rule, velocities, strengths, members and the batch.
    for (MemberInfo& member : job_.members)
        applyCurveRule(member, standard_);
    nameMemberCurves(job_, curves_);
    for (AreaList& areas : job_.areas)
        for (TestArea& area : areas)
            computePointValues(area);
    computeAll();

    filter_.highOn = false;
    filter_.lowOn = false;
    history_.clear();
    pending_ = {};
    notifyAll([](DocObserver& o) { o.contentsReplaced(); });

    modified_ = false;
    notifyAll([](DocObserver& o) { o.modifiedChanged(false); });
    path_ = path;
    notifyTitle();
    refreshReportInfo();
}

void CTavolinDoc::newDocument() {
    ProjectInfo project = std::move(job_.project);
    job_ = JobData{};
    job_.project = std::move(project);
    evaluation_ = JobEvaluation{};
    currentMember_ = currentArea_ = selectedPoint_ = 0;
    filter_.highOn = filter_.lowOn = false;
    history_.clear();
    pending_ = {};
    path_.clear();
    notifyAll([](DocObserver& o) { o.contentsReplaced(); });
    modified_ = false;
    notifyAll([](DocObserver& o) { o.modifiedChanged(false); });
    notifyTitle();
}

std::u16string CTavolinDoc::save(const std::string& path) {
    if (!isOpen())
        return u"请先打开文件!";
    std::u16string error;
    if (isRawPath(path))
        error = WriteRawFile(path, job_);
    else if (isResultPath(path))
        error = WriteResultFile(path, job_);
    else
        return u"无法识别的文件类型";
    if (!error.empty())
        return error;
    if (path != path_) {
        // Saved under another name: that file is now the document's file.
        path_ = path;
        notifyTitle();
    }
    history_.markSaved();
    setModified(false);
    return {};
}

std::u16string CTavolinDoc::saveResult(const std::string& path, const ReadOptions& options) {
    if (!isOpen())
        return u"请先打开文件!";
    std::u16string error = WriteResultFile(path, job_);
    if (!error.empty())
        return error;
    const ReadOptions readOptions = withNotices(options);
    JobData fresh;
    error = ReadDataFile(path, fresh, readOptions);
    if (!error.empty())
        return error;
    // The file keeps no curve, no pumped flag and no typed mean, and the coefficients only to a
    // few decimals: carry them over so that saving changes no strength.
    const size_t members = std::min(fresh.members.size(), job_.members.size());
    for (size_t m = 0; m < members; ++m) {
        MemberInfo& to = fresh.members[m];
        const MemberInfo& from = job_.members[m];
        to.curve = from.curve;
        to.pumped = from.pumped;
        to.A = from.A;
        to.B = from.B;
        to.C = from.C;
        to.curveName = from.curveName;
    }
    const size_t lists = std::min(fresh.areas.size(), job_.areas.size());
    for (size_t m = 0; m < lists; ++m) {
        const size_t n = std::min(fresh.areas[m].size(), job_.areas[m].size());
        for (size_t a = 0; a < n; ++a) {
            fresh.areas[m][a].reboundFlag = job_.areas[m][a].reboundFlag;
            if (job_.areas[m][a].reboundFlag)
                fresh.areas[m][a].reboundMean = job_.areas[m][a].reboundMean;
        }
    }
    adopt(std::move(fresh), path);
    return {};
}

std::string CTavolinDoc::proposedResultPath() const {
    // Cut the file name, not the folder: a dotted folder name must not swallow the file.
    const auto sep = lastSeparator(path_);
    const std::string::size_type nameStart = sep == std::string::npos ? 0 : sep + 1;
    const auto dot = path_.find('.', nameStart + 1);
    if (dot == std::string::npos || nameStart >= path_.size())
        return path_;
    return path_.substr(0, dot);
}

std::u16string CTavolinDoc::fileName() const {
    const auto sep = lastSeparator(path_);
    return utf8ToUtf16(sep == std::string::npos ? path_ : path_.substr(sep + 1));
}

std::u16string CTavolinDoc::title() const {
    if (!isOpen() || path_.empty())
        return baseTitle;
    return baseTitle + u" - " + fileName();
}

void CTavolinDoc::setModified(bool modified) {
    if (modified_ == modified)
        return;
    modified_ = modified;
    notifyAll([&](DocObserver& o) { o.modifiedChanged(modified); });
}

// --- navigation ---

void CTavolinDoc::setCurrentMember(int member) {
    if (!isOpen() || member < 0 || member >= static_cast<int>(job_.members.size()) ||
        member >= static_cast<int>(job_.areas.size()))
        return;
    currentMember_ = member;
    currentArea_ = 0;
    selectedPoint_ = 0;
    notifyAreaChanged();
}

void CTavolinDoc::setCurrentArea(int area) {
    if (!isOpen() || currentMember_ < 0 || currentMember_ >= static_cast<int>(job_.areas.size()))
        return;
    if (area < 0 || area >= static_cast<int>(job_.areas[currentMember_].size()))
        return;
    currentArea_ = area;
    notifyAreaChanged();
}

MemberInfo* CTavolinDoc::currentMemberInfo() {
    if (!isOpen() || currentMember_ < 0 || currentMember_ >= static_cast<int>(job_.members.size()))
        return nullptr;
    return &job_.members[currentMember_];
}

TestArea* CTavolinDoc::currentArea() {
    if (!isOpen() || currentMember_ < 0 || currentMember_ >= static_cast<int>(job_.areas.size()))
        return nullptr;
    AreaList& areas = job_.areas[currentMember_];
    if (currentArea_ < 0 || currentArea_ >= static_cast<int>(areas.size()))
        return nullptr;
    return &areas[currentArea_];
}

bool CTavolinDoc::canGoPrevious() const {
    return isOpen() && currentArea_ > 0;
}

bool CTavolinDoc::canGoNext() const {
    if (!isOpen() || currentMember_ < 0 || currentMember_ >= static_cast<int>(job_.areas.size()))
        return false;
    return currentArea_ + 1 < static_cast<int>(job_.areas[currentMember_].size());
}

std::u16string CTavolinDoc::previousArea() {
    if (!isOpen())
        return u"请先打开文件!";
    if (currentArea_ <= 0)
        return u"当前为构件第一个测区";
    --currentArea_;
    notifyAreaChanged();
    return {};
}

std::u16string CTavolinDoc::nextArea() {
    if (!isOpen())
        return u"请先打开文件!";
    if (!canGoNext())
        return u"当前为构件最后一个测区";
    ++currentArea_;
    notifyAreaChanged();
    return {};
}

// --- algorithm ---

void CTavolinDoc::setStandard(int standard) {
    if (isOpen())
        record(u"选择规范", {TouchStandard | TouchMembers | TouchReport});
    standard_ = standard;
    standardCopy_ = standard;
    makeAlgorithm();
    report_.testBasis = standardReportName(standard_);
    if (!isOpen())
        return;
    // Named curves carry the defaults of the standard they are evaluated by, in every member
    // alike, as the command line evaluates them.
    for (MemberInfo& member : job_.members)
        applyCurveRule(member, standard_);
    computeAll();
    changed({-1, -1, ChangeStandard | ChangeMember | ChangeStrength | ChangeEvaluation}, false);
}

void CTavolinDoc::makeAlgorithm() {
    if (auto algorithm = tavolin::makeAlgorithm(standard_, tables_))
        algorithm_ = std::move(algorithm);
}

void CTavolinDoc::setTables(const CorrectionTables& tables) {
    if (isOpen())
        record(u"修改修正表", {TouchTables});
    tables_ = tables;
    if (!isOpen())
        return;
    computeAll();
    changed({-1, -1, ChangeTables | ChangeStrength | ChangeEvaluation}, false);
}

// --- filter ---

std::u16string CTavolinDoc::filterCommandCheck() const {
    return isOpen() ? std::u16string() : u"请先打开文件再进行滤波!";
}

void CTavolinDoc::applyFilter() {
    // Trying one cut-off after another in the dialog is one step.
    if (currentArea())
        record(u"滤波", {TouchArea, currentMember_, currentArea_, 1});
    restoreCurrentArea();
    filterCurrentArea();
    // The amplitudes are read from the working samples.
    if (TestArea* area = currentArea())
        computePointValues(*area);
    fileStep({currentMember_, currentArea_, ChangeArrival}, false);
    notifyAll([](DocObserver& o) { o.samplesChanged(); });
}

void CTavolinDoc::restoreCurrentArea() {
    TestArea* area = currentArea();
    if (!area)
        return;
    for (TestPoint& point : area->points)
        if (point.hasWaveform() && !point.rawSamples.empty())
            point.samples = point.rawSamples;
}

void CTavolinDoc::filterCurrentArea() {
    TestArea* area = currentArea();
    if (!area)
        return;
    for (TestPoint& point : area->points) {
        if (!point.hasWaveform())
            continue;
        // Filtering always starts from the unfiltered copy, so repeated calls never compound;
        // the first filter of a point keeps that copy aside.
        if (point.rawSamples.empty())
            point.rawSamples = point.samples;
        const SampleBuffer& source = point.rawSamples;
        point.samples =
            filterWaveform(source.data(), static_cast<int>(source.size()), area->dT, filter_.highOn,
                           filter_.highKHz * 1000.0f, filter_.lowOn, filter_.lowKHz * 1000.0f);
    }
}

// --- report records and settings ---

void CTavolinDoc::refreshReportInfo() {
    report_.projectName = job_.project.SITE;
    report_.testingOrg = job_.project.UNIT;
    report_.testDate = job_.project.DATE;
    report_.constructionDate = job_.project.Molddate;
    report_.testBasis = standardReportName(standard_);
}

void CTavolinDoc::loadSettings(const std::string& path) {
    AppSettings settings;
    settings.project = job_.project;
    settings.print = print_;
    settings.report = report_;
    settings.barWidths = barWidths_;
    readSettings(path, settings);
    job_.project = std::move(settings.project);
    print_ = std::move(settings.print);
    report_ = std::move(settings.report);
    barWidths_ = settings.barWidths;
}

bool CTavolinDoc::storeSettings(const std::string& path) const {
    AppSettings settings;
    settings.project = job_.project;
    settings.print = print_;
    settings.report = report_;
    settings.barWidths = barWidths_;
    return writeSettings(path, settings);
}

} // namespace tavolin
