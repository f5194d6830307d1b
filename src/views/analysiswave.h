// AnalysisWaveform: the upper half of the analysis waveform view (left of its zoom slider): header
// strip with the point's values or the cursor readout, the waveform of the selected point, picking.
#pragma once

#include "views/waveformpainter.h"

#include <QWidget>

namespace tavolin {

class DocBridge;

class AnalysisWaveform : public QWidget {
    Q_OBJECT
public:
    static constexpr int kStripHeight = 20;

    explicit AnalysisWaveform(DocBridge& bridge, QWidget* parent = nullptr);

    float zoomFactor() const { return scale_.zoom; }
    void setZoomFactor(float zoom);
    int peakSample() const { return scale_.peak; }
    // The header strip and the waveform rectangle in widget coordinates.
    QRect stripRect() const;
    QRect waveRect() const;
    // The x of the readout cursor line while it is shown, else -1.
    int cursorX() const { return cursorShown_ ? cursorX_ : -1; }
    // The five texts of the header strip as they are drawn (empty when nothing is shown).
    QStringList headerTexts() const;

    // Forgets the readout cursor and draws again (area, point or data change, zoom, pick).
    void redraw();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    struct Readout {
        float gain = 0, t = 0, amplitudeVolts = 0, velocity = 0;
        int point = 0;
    };
    WaveformGeometry geometry() const;
    // The values of the header: the cursor's while it is shown, else the point's own.
    bool headerValues(Readout& r, bool& cursor) const;
    void pick(int x);
    void readout(int x);

    DocBridge& bridge_;
    WaveformScale scale_;
    Readout cursor_;
    int cursorX_ = -1;
    bool cursorShown_ = false;
};

} // namespace tavolin
