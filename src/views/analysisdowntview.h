// CAnalysisDownTView: the lower pane of the analysis interface, holding the rebound table of the
// current member; it shows the document and turns the table's edits into document operations.
#pragma once

#include "views/analysispane.h"

namespace tavolin {

class CTavolinDoc;
class ReboundGrid;

class CAnalysisDownTView : public AnalysisPane {
    Q_OBJECT
public:
    explicit CAnalysisDownTView(DocBridge& bridge, QWidget* parent = nullptr);

    ReboundGrid* grid() const { return grid_; }
    // The member whose areas are shown, -1 for none.
    int shownMember() const { return shownMember_; }

    // Rows and selectors for the current member, from the document.
    void rebuild();

private:
    const CTavolinDoc& doc() const;
    void onJobChanged(int member, int area, unsigned fields);
    void refreshArea(int area);
    void showSelectorsOf(int area);
    void followCurrentArea();
    void moveCursorTo(int area);
    void onCellCommitted(int row, int column, const QString& text);
    void applyEdit(int member, int area, int row, int column, const QString& text);
    void onSelectorChosen(int row, int column, int index);
    void onAreaEntered(int area);
    void tell(const std::u16string& message);

    ReboundGrid* grid_ = nullptr;
    int shownMember_ = -1;
    int pendingChoices_ = 0; // area choices of the table not yet passed to the document
    bool following_ = false; // the cursor moves because the document's area did
};

} // namespace tavolin
