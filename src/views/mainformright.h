// MainFormRight: transit time, amplitude, path length and velocity of the three points of the
// current area (the "当前测区数据栏" form); the path lengths are editable.
#pragma once

#include <QWidget>

class QLineEdit;

namespace tavolin {

class DocBridge;
class DisplayEdit;

// Child object names: "editT1".."editT3", "editA1".."editA3", "editL1".."editL3",
// "editVp1".."editVp3".
class MainFormRight : public QWidget {
    Q_OBJECT
public:
    explicit MainFormRight(DocBridge& bridge, QWidget* parent = nullptr);

    // Fills the twelve fields from the document, or clears and disables them while no area is
    // shown.
    void refresh();
    // T "%.2f", A x 1000 "%.2f" and velocity "%.3f" of point 0..2.
    void showPointValues(int point, float t, float amplitudeVolts, float velocity);
    // T, A and V of point 0..2 as the document holds them (after a cursor readout).
    void showStoredPointValues(int point);

protected:
    // A hidden bar hands the focus of its fields to no other field.
    void hideEvent(QHideEvent* event) override;

private:
    void pathLengthEntered(int point);

    DocBridge& bridge_;
    DisplayEdit* t_[3] = {};
    DisplayEdit* a_[3] = {};
    QLineEdit* l_[3] = {};
    DisplayEdit* v_[3] = {};
};

} // namespace tavolin
