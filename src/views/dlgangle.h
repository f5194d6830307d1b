// CDlgAngle: "角度修正值表", the angle correction table of the selected standard.
#pragma once

#include "views/correctiondialog.h"

namespace tavolin {

class CDlgAngle : public CorrectionTableDialog {
    Q_OBJECT
public:
    static constexpr int headerRows = 3;
    static constexpr int angles[8] = {90, 60, 45, 30, -30, -45, -60, -90};

    CDlgAngle(const CorrectionTables& tables, int standard, QWidget* parent = nullptr);

protected:
    void fill() override;
    void store() override;
    void resetShown() override;

private:
    // Rows of the shown table (7 under CECS 02:2005, 31 under TB 10426-2004) and row r's Rm.
    int rows() const;
    int rmOf(int row) const;
    float& value(int row, int column);
};

} // namespace tavolin
