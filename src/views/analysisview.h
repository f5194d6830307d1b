// CAnalysisView: the waveform view of the analysis interface: the selected point's waveform with
// its header strip and zoom slider above, the grid "测区数据" of every area of the member below.
#pragma once

#include <QWidget>

class QSlider;

namespace tavolin {

class AnalysisWaveform;
class DocBridge;
class TavolinGrid;

class CAnalysisView : public QWidget {
    Q_OBJECT
public:
    // Grid columns: "测区", L1, T1, L2, T2, L3, T3, v, va, fcui.
    enum Column { ColArea = 0, ColL1 = 1, ColT1 = 2, ColV = 7, ColVa = 8, ColFcui = 9 };
    static constexpr int kColumns = 10;

    explicit CAnalysisView(DocBridge& bridge, QWidget* parent = nullptr);

    TavolinGrid* grid() const { return grid_; }
    AnalysisWaveform* waveform() const { return wave_; }
    QSlider* zoomSlider() const { return slider_; }

    // Rebuilds the grid for the current member and redraws the waveform (entry into the
    // analysis interface, another file).
    void refresh();
    // Paints the waveform area at once, header strip included: one repaint as the user sees it.
    void repaintWaveform();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void rebuildGrid();
    void fillRow(int area);
    void fillAllRows();
    void layoutColumns();
    void selectAreaRow(int row);
    void followNavigation();
    // Rows and waveform after an edit of the job (member or area -1: all of them).
    void onJobChanged(int member, int area, unsigned fields);
    void onRowSelected(int row);
    void onColumnSelected(int column);
    void onCellEdited(int member, int row, int column, const QString& text);

    DocBridge& bridge_;
    AnalysisWaveform* wave_ = nullptr;
    QSlider* slider_ = nullptr;
    TavolinGrid* grid_ = nullptr;
    int builtMember_ = -1; // the member the grid rows belong to; -1 = not built
    int ownMoves_ = 0;     // area changes asked for by the grid whose notice is still to come
};

} // namespace tavolin
