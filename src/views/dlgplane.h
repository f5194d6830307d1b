// CDlgPlane: "测试面修正表", the test-face correction table of the selected standard.
#pragma once

#include "views/correctiondialog.h"

namespace tavolin {

class CDlgPlane : public CorrectionTableDialog {
    Q_OBJECT
public:
    static constexpr int headerRows = 2;

    CDlgPlane(const CorrectionTables& tables, int standard, QWidget* parent = nullptr);

protected:
    void fill() override;
    void store() override;
    void resetShown() override;

private:
    int rows() const { return standard_ == 0 ? 7 : 31; }
    float& value(int row, int column);
};

} // namespace tavolin
