// CDlgCarbon: "碳化深度修正表", the pumped-concrete correction K of TB 10426-2004. Under
// CECS 02:2005 there is no such table: the dialog stays empty and "确定" / "默认值" are greyed.
#pragma once

#include "views/correctiondialog.h"

namespace tavolin {

class CDlgCarbon : public CorrectionTableDialog {
    Q_OBJECT
public:
    CDlgCarbon(const CorrectionTables& tables, int standard, QWidget* parent = nullptr);

    // Grid positions of the K value of carbonation group `group` (0, 1) and band `band`.
    static constexpr int kRow(int group) { return 2 + 2 * group; }
    static constexpr int kColumn(int band) { return 2 + band; }
    // Bands of each group that the conversion reads (the fourth of group 2 is never used).
    static constexpr int bands(int group) { return group == 0 ? 4 : 3; }

protected:
    void fill() override;
    void store() override;
    void resetShown() override;
};

} // namespace tavolin
