// The plain records of one job: project, members, test areas, points, acquisition and result.
#pragma once

#include "data/samplebuffer.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tavolin {

// Test method codes (`TMETHOD`, `Method`).
enum TestMethod : int { MethodCorner = 0, MethodSameSide = 1, MethodOpposite = 2 };
// Tested face codes (`PLANE`); -1 = not chosen.
enum TestFace : int { FaceNone = -1, FaceSide = 0, FaceTop = 1, FaceBottom = 2 };
// Aggregate curve (`curve` of a member).
enum CurveType : int { CurveCustom = 0, CurvePebble = 1, CurveCrushed = 2 };

struct ProjectInfo {
    std::u16string INST;
    std::u16string SITE;
    std::u16string DATE;
    std::u16string UNIT;
    std::u16string PERSON;
    std::u16string Molddate;
    float Delay = 0.0f;
    uint32_t spare = 0;
    int Method = 0;
    std::u16string SPOT;
    float BETA = 1.0f;
    float LAMDA = 1.0f;
    float ETA = 1.0f;

    bool operator==(const ProjectInfo&) const = default;
};

struct MemberInfo {
    int SI = 0;
    std::u16string PILEID;
    int DatLen = 0;
    float dT = 0.0f;
    int pumped = 0;
    int curve = CurveCrushed;
    float A = 0.0162f;
    float B = 1.656f;
    float C = 1.41f;
    // The library curve whose a, b, c the member uses ("" for none); not stored in the data files.
    std::u16string curveName;

    bool operator==(const MemberInfo&) const = default;
};

// How a point's arrival came about. Kept in memory only: the data files do not store it, so a
// job opened again starts with every point as the file gave it.
enum class PickOrigin : uint8_t {
    File,      // as read
    Suggested, // set by the automatic picker with enough confidence
    Review,    // the picker was not confident: the pick stays and needs a human
    Hand,      // picked by hand (wins over later automatic runs)
};

struct TestPoint {
    // Empty `samples` means the point has no waveform.
    SampleBuffer samples;
    // The waveform as read. Set only once a filter has replaced `samples`: until then the
    // working samples are the unfiltered ones.
    SampleBuffer rawSamples;
    int index = 0;
    float Gain = 0.0f;
    int ampIndex = 0;
    int arrivalIndex = 0;
    float L = 0.0f;
    float Delay = 0.0f;
    PickOrigin pickOrigin = PickOrigin::File;
    float pickConfidence = -1.0f; // the picker's confidence at its last run; -1 before any

    bool hasWaveform() const { return !samples.empty(); }
    // The unfiltered waveform, whichever copy holds it.
    const SampleBuffer& unfiltered() const { return rawSamples.empty() ? samples : rawSamples; }

    bool operator==(const TestPoint&) const = default;
};

struct TestArea {
    int SI = 0;
    int RATNO = 0;
    float dT = 0.0f;
    float Delay = 0.0f;
    std::array<TestPoint, 3> points;
    int TMETHOD = MethodSameSide;
    std::u16string TESTLOC;
    float BETA = 1.0f;
    float LAMDA = 1.0f;
    float ETA = 1.0f;
    int reboundFlag = 0;
    // R1..R16 of the files, R[0] is R1.
    std::array<int, 16> R{};
    float reboundMean = 35.0f;
    float spare1 = 0.0f;
    int ANGLE = 0;
    int PLANE = FaceNone;
    float ANGLEAM = 0.0f;
    float PLANEAM = 0.0f;
    float RA = 35.0f;
    std::array<float, 3> pointVelocity{};
    std::array<float, 3> pointTime{};
    std::array<float, 3> pointAmplitude{};
    float spare2 = 0.0f;
    float CARBON = 0.0f;
    float FCUI = 0.0f;
    float velocity = 0.0f;
    float correctedVelocity = 0.0f;

    bool operator==(const TestArea&) const = default;
};

// The test areas of one member.
using AreaList = std::vector<TestArea>;

struct SectionPara {
    int SI = 0;
    float CrossD = 0.0f;
    float Gain = 0.0f;
    float T0 = 0.0f;
    float dT = 0.0f;
    float Delay = 0.0f;
    int DatLen = 0;
    float FiltL = 0.0f;
    float FiltH = 0.0f;
    float Sen_dH = 0.0f;
};

struct Result {
    float FCUE = 0.0f;
    float MF = 0.0f;
    float SF = 0.0f;
};

// What and how to print; the field order is the order of the settings file.
struct PrintSettings {
    int printHeader = 0;
    int printFooter = 0;
    int printPageNumber = 0;
    int printFieldRecord = 1;
    int printResultTable = 0;
    int borderWidth = 4;
    int gridWidth = 2;
    int marginTop = 20;
    int marginLeft = 20;
    int marginBottom = 15;
    int marginRight = 15;
    int pageNumberPosition = 0;
    int firstPageNumber = 1;
    int pageNumberFormat = 0;
    int headerHeight = 5;
    int headerPosition = 0;
    int headerFont = 0;
    std::u16string headerText;
    int footerHeight = 5;
    int footerPosition = 0;
    int footerFont = 0;
    std::u16string footerText;
};

// The texts of the report heads; 22 strings in settings-file order.
struct ReportInfo {
    std::u16string projectName = u"5";
    std::u16string testingOrg;
    std::u16string constructionOrg;
    std::u16string clientOrg;
    std::u16string testAge;
    std::u16string designGrade;
    std::u16string testBasis;
    std::u16string spare;
    std::u16string testDate;
    std::u16string reportDate;
    std::u16string commissionNo;
    std::u16string instrumentNo;
    std::u16string constructionDate;
    std::u16string testNo;
    std::u16string reviewerName;
    std::u16string calculatorName;
    std::u16string testerName;
    std::u16string checkerName;
    std::u16string fieldRecordRemark;
    std::u16string resultTableRemark;
    std::u16string instrumentModel;
    std::u16string conversionTable;

    static constexpr int fieldCount = 22;
    std::u16string& field(int i);
    const std::u16string& field(int i) const;

    bool operator==(const ReportInfo&) const = default;
};

// A drilled core or a cube cast with the concrete, tested beside one test area.
enum SpecimenKind : int { SpecimenCore = 0, SpecimenCube = 1 };
struct Specimen {
    int member = 0; // index into the job's members
    int area = 0;   // index into that member's areas
    int kind = SpecimenCore;
    float strength = 0.0f; // MPa
};

// Everything a data file describes: what a reader fills and a writer writes.
struct JobData {
    ProjectInfo project;
    std::vector<MemberInfo> members;
    std::vector<AreaList> areas; // parallel to members
    std::vector<SectionPara> sections;
    int memberCount = -1;
    Result result;
    bool hasResult = false; // the file had a result block
    // The specimens eta was found from; kept in a companion file beside a result pair.
    std::vector<Specimen> specimens;
};

} // namespace tavolin
