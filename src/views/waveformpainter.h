// The one waveform drawing of the program: frame, axes, ticks, trace and first-arrival marker,
// with the x ↔ sample mapping that picking and the cursor readout share with the drawing.
#pragma once

#include <QRect>

class QPainter;
class QSlider;
class QWidget;
class QString;

namespace tavolin {

struct MemberInfo;
struct TestPoint;

// Where a point's waveform lies inside its white framed rectangle. Valid only when there is
// something to draw: a point with samples and a member with a usable time span.
struct WaveformGeometry {
    QRect frame;
    int ym = 0;      // y of the time axis (middle of the frame)
    float px = 0;    // pixels per us
    float dT = 0;    // member's sample interval
    float delay = 0; // point's delay
    int datLen = 0;  // member's DatLen (length of the time axis)
    int count = 0;   // samples drawn: DatLen, never more than the point holds
    const TestPoint* point = nullptr;

    // `point` null or without samples, or no usable span, gives an invalid geometry.
    static WaveformGeometry of(const QRect& frame, const MemberInfo* member,
                               const TestPoint* point);
    bool valid() const { return point != nullptr; }
    int originX() const { return frame.left() + 15; }
    int axisEndX() const { return frame.right() + 1 - 5; }
    // Time of a pixel column and the sample nearest to it (-1 when none lies within 1000 us).
    float timeAt(int x) const;
    int sampleAt(int x) const;
    int xOfSample(int index) const;

    // What the cursor readout shows at pixel column x: the sample (at least 1), its time,
    // amplitude in volts and the point velocity; index -1 when x lies off the drawn samples.
    struct Readout {
        int index = -1;
        float t = 0, amplitudeVolts = 0, velocity = 0;
    };
    Readout readoutAt(int x) const;
};

// The vertical amplitude zoom slider of a waveform: 0 at the top, 100 at the bottom (Page Down
// moves the thumb down), ticks every 10, starting at 80.
QSlider* makeZoomSlider(QWidget* parent, const QString& objectName, const QString& accessibleName);

// What a view keeps between its drawings.
struct WaveformScale {
    float zoom = 1.0f;     // from the view's slider
    int peak = 0;          // largest working sample met so far; only ever raised
    float timeStep = 1.0f; // of the last drawing
    int amplitudeStep = 1; // of the last drawing
};

struct WaveformStyle {
    // The main-screen panes write the gain inside the frame; the analysis view has a header.
    bool gainCaption = true;
};

// Fills `frame` white and frames it; when `g` is valid also draws axes, ticks, captions, the
// trace and the first-arrival marker, raising `scale.peak`. Works on any painter device.
void drawWaveform(QPainter& p, const QRect& frame, const WaveformGeometry& g, WaveformScale& scale,
                  const WaveformStyle& style = {});

// The green readout cursor line, inverting what lies beneath it (drawing it twice removes it).
void drawCursorLine(QPainter& p, int x, int top, int bottom);

// "Times New Roman" 13 px, the face of every axis text.
void setAxisFont(QPainter& p);
// Text placed by its top-left corner, as the layouts give positions.
void textAt(QPainter& p, int x, int y, const QString& s);

} // namespace tavolin
