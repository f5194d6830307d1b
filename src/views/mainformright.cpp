// MainFormRight: shows the current area's point values and takes new path lengths.
#include "views/mainformright.h"

#include "data/evaluation.h"
#include "data/format.h"
#include "data/mathoperation.h"
#include "views/displayedit.h"
#include "views/docbridge.h"
#include "views/shellui.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include <cmath>

namespace tavolin {

namespace {
QString fixed(float value, int decimals) {
    return toQ(formatFixed(value, decimals));
}
} // namespace

MainFormRight::MainFormRight(DocBridge& bridge, QWidget* parent)
    : QWidget(parent), bridge_(bridge) {
    auto* outer = new QVBoxLayout(this);
    auto* current = new QGroupBox(QStringLiteral("当前测区数据"));
    auto* inner = new QVBoxLayout(current);
    for (int j = 0; j < 3; ++j) {
        const QString n = QString::number(j + 1);
        auto* group = new QGroupBox(n);
        auto* form = new QFormLayout(group);
        t_[j] = new DisplayEdit;
        t_[j]->setObjectName("editT" + n);
        a_[j] = new DisplayEdit;
        a_[j]->setObjectName("editA" + n);
        l_[j] = new QLineEdit;
        l_[j]->setObjectName("editL" + n);
        v_[j] = new DisplayEdit;
        v_[j]->setObjectName("editVp" + n);
        form->addRow(QStringLiteral("T%1(us)").arg(n), t_[j]);
        form->addRow(QStringLiteral("A%1(mv)").arg(n), a_[j]);
        form->addRow(QStringLiteral("L%1(mm)").arg(n), l_[j]);
        form->addRow(QStringLiteral("V%1(km/s)").arg(n), v_[j]);
        inner->addWidget(group);
        connect(l_[j], &QLineEdit::returnPressed, this, [this, j] { pathLengthEntered(j); });
    }
    outer->addWidget(current);
    outer->addStretch(1);

    // The navigation refresh recomputes the point values first.
    connect(&bridge_, &DocBridge::areaChangedQueued, this, [this] {
        if (TestArea* area = bridge_.doc().currentArea())
            computePointValues(*area);
        refresh();
    });
    connect(&bridge_, &DocBridge::contentsReplacedQueued, this, &MainFormRight::refresh);
    refresh();
}

void MainFormRight::refresh() {
    CTavolinDoc& doc = bridge_.doc();
    TestArea* area = doc.currentArea();
    const bool open = doc.isOpen() && area;
    for (int j = 0; j < 3; ++j) {
        for (QLineEdit* e : {static_cast<QLineEdit*>(t_[j]), static_cast<QLineEdit*>(a_[j]), l_[j],
                             static_cast<QLineEdit*>(v_[j])})
            e->setEnabled(open);
        if (!open)
            continue;
        showPointValues(j, area->pointTime[j], area->pointAmplitude[j], area->pointVelocity[j]);
        l_[j]->setText(fixed(area->points[j].L, 0));
    }
}

void MainFormRight::showPointValues(int point, float t, float amplitudeVolts, float velocity) {
    if (point < 0 || point > 2)
        return;
    t_[point]->setText(fixed(t, 2));
    a_[point]->setText(fixed(amplitudeVolts * 1000.0f, 2));
    v_[point]->setText(fixed(velocity, 3));
}

void MainFormRight::pathLengthEntered(int point) {
    CTavolinDoc& doc = bridge_.doc();
    TestArea* area = doc.currentArea();
    if (!area)
        return;
    float value = 0.0f;
    if (!MathOperation::TextToFloat(fromQ(l_[point]->text()), value))
        showMessage(this, toQ(MathOperation::tooLongMessage));
    // No range is imposed on a path length, but a non-number must not reach the velocities.
    if (!std::isfinite(value))
        value = 0.0f;
    area->points[point].L = value;
    l_[point]->setText(fixed(value, 0));
    computeAreaVelocity(*area, doc.algorithm());
    for (int j = 0; j < 3; ++j) {
        // Same rule as the area computation: no transit time, no velocity.
        const float t = area->pointTime[j];
        area->pointVelocity[j] = t != 0.0f ? area->points[j].L / t : 0.0f;
        v_[j]->setText(fixed(area->pointVelocity[j], 3));
    }
    doc.setModified();
    emit areaVelocitiesChanged();
}

} // namespace tavolin
