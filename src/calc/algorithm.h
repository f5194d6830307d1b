// The strength-algorithm interface shared by both standards, and its factory.
#pragma once

#include "calc/correctiontables.h"

#include <memory>

namespace tavolin {

enum EstimateStatus : int { Valid = 0, Below10 = 1, RetestMembers = 2, NoData = 3, Above70 = 4 };

class CAlgorithm {
public:
    explicit CAlgorithm(const CorrectionTables& tables) : tables_(tables) {}
    virtual ~CAlgorithm() = default;

    virtual float CalcVelocity(const float L[3], const float T[3]);
    virtual float CorrectVelocity(float v, int plane, int method, float lamda, float beta);
    virtual float GetMin(const float values[], int n);
    virtual float GetMax(const float values[], int n);
    virtual float CalcReboundMean(const int readings[], int n);
    virtual float GetAngleCorrection(float Rm, int angle);
    virtual float GetPlaneCorrection(float Rm, int plane);
    virtual float CalcStrength(float va, float R, int pebble, float A, float B, float C, int custom,
                               int pumped, float carbonation, float eta);
    virtual float GetGroupMean(const float* const groups[], const int counts[], int nGroups);
    virtual float GetMean(const float values[], int n);
    virtual float GetGroupStdDev(const float* const groups[], const int counts[], int nGroups);
    virtual float GetStdDev(const float values[], int n);
    virtual float EstimateBatch(const float* const groups[], const int counts[], int nGroups,
                                EstimateStatus* status);
    virtual float EstimateMember(const float values[], int n, EstimateStatus* status);

    // Positions of the three highest (extremes[0..2]) and three lowest (extremes[3..5])
    // readings; returns CalcReboundMean(readings, 16).
    float SelectExtremes(const int readings[16], int extremes[6]);

protected:
    const CorrectionTables& tables_;
};

class Algorithm_CECS02_2005 : public CAlgorithm {
public:
    using CAlgorithm::CAlgorithm;
    float CalcVelocity(const float L[3], const float T[3]) override;
    float CorrectVelocity(float v, int plane, int method, float lamda, float beta) override;
    float GetAngleCorrection(float Rm, int angle) override;
    float GetPlaneCorrection(float Rm, int plane) override;
    float CalcStrength(float va, float R, int pebble, float A, float B, float C, int custom,
                       int pumped, float carbonation, float eta) override;
    float EstimateBatch(const float* const groups[], const int counts[], int nGroups,
                        EstimateStatus* status) override;
    float EstimateMember(const float values[], int n, EstimateStatus* status) override;

private:
    float AngleCecs[7][8] = {}; // working copy, refreshed at every angle lookup
};

class Algorithm_TB10426_2004 : public CAlgorithm {
public:
    using CAlgorithm::CAlgorithm;
    float CalcVelocity(const float L[3], const float T[3]) override;
    float CorrectVelocity(float v, int plane, int method, float lamda, float beta) override;
    float GetAngleCorrection(float Rm, int angle) override;
    float GetPlaneCorrection(float Rm, int plane) override;
    float CalcStrength(float va, float R, int pebble, float A, float B, float C, int custom,
                       int pumped, float carbonation, float eta) override;
    float EstimateBatch(const float* const groups[], const int counts[], int nGroups,
                        EstimateStatus* status) override;
    float EstimateMember(const float values[], int n, EstimateStatus* status) override;
};

// 0 -> CECS 02:2005, 1 -> TB 10426-2004, anything else -> nullptr.
std::unique_ptr<CAlgorithm> makeAlgorithm(int standard, const CorrectionTables& tables);

// Default strength-curve coefficients of a standard (0/1) for curve 1 (pebble) or 2 (crushed
// stone); false, leaving A, B, C untouched, for any other standard or curve.
bool curveCoefficients(int standard, int curve, float& A, float& B, float& C);

// The curve whose defaults (of either standard) A, B, C are: 1 pebble, 2 crushed stone (also
// for all zero), 0 custom otherwise. Result files store coefficients but no curve.
int curveFromCoefficients(float A, float B, float C);

} // namespace tavolin
