// A paint device that records the texts and lines drawn on it, for checking report pages.
#pragma once

#include <QLineF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPointF>
#include <QString>
#include <QTextItem>

#include <vector>

namespace reporttest {

struct DrawnText {
    QString text;
    QPointF baseline; // start of the baseline, device units
    double width = 0;
    QString family;
};

class RecordingEngine : public QPaintEngine {
public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    Type type() const override { return QPaintEngine::User; }
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        texts.push_back({item.text(), p, item.width(), item.font().family()});
    }
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawLines(const QLineF* l, int n) override { lines.insert(lines.end(), l, l + n); }
    void drawLines(const QLine* l, int n) override {
        for (int i = 0; i < n; ++i)
            lines.push_back(QLineF(l[i]));
    }
    std::vector<DrawnText> texts;
    std::vector<QLineF> lines;
};

// A page of the given size and resolution.
class RecordingDevice : public QPaintDevice {
public:
    RecordingDevice(int width, int height, int dpi) : width_(width), height_(height), dpi_(dpi) {}
    QPaintEngine* paintEngine() const override { return &engine; }
    mutable RecordingEngine engine;

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth:
            return width_;
        case PdmHeight:
            return height_;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return dpi_;
        case PdmWidthMM:
            return int(width_ * 25.4 / dpi_);
        case PdmHeightMM:
            return int(height_ * 25.4 / dpi_);
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    int width_, height_, dpi_;
};

} // namespace reporttest
