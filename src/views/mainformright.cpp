// MainFormRight: shows the current area's point values and takes new path lengths.
#include "views/mainformright.h"

#include "data/format.h"
#include "data/plausibility.h"
#include "views/displayedit.h"
#include "views/docbridge.h"
#include "views/plausibilitymarks.h"
#include "views/shellui.h"

#include <QApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include <cmath>
#include <utility>

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

    // The document keeps every area's point values current: a refresh only shows them.
    connect(&bridge_, &DocBridge::areaChangedQueued, this, &MainFormRight::refresh);
    connect(&bridge_, &DocBridge::contentsReplacedQueued, this, &MainFormRight::refresh);
    connect(&bridge_, &DocBridge::jobChangedQueued, this, [this](int member, int area, unsigned) {
        const CTavolinDoc& doc = bridge_.doc();
        if ((member < 0 || member == doc.currentMember()) &&
            (area < 0 || area == doc.currentAreaIndex()))
            refresh();
    });
    refresh();
}

void MainFormRight::refresh() {
    const CTavolinDoc& doc = bridge_.doc();
    const TestArea* area = doc.currentArea();
    for (int j = 0; j < 3; ++j) {
        for (QLineEdit* e : {static_cast<QLineEdit*>(t_[j]), static_cast<QLineEdit*>(a_[j]), l_[j],
                             static_cast<QLineEdit*>(v_[j])}) {
            e->setEnabled(area != nullptr);
            // Nothing of another job or area may stay in view.
            if (!area)
                e->clear();
        }
        if (!area)
            continue;
        showPointValues(j, area->pointTime[j], area->pointAmplitude[j], area->pointVelocity[j]);
        l_[j]->setText(fixed(area->points[j].L, 0));
    }
    const AreaPlausibility marks = area ? checkPlausibility(*area) : AreaPlausibility{};
    for (size_t j = 0; j < 3; ++j) {
        markImplausible(l_[j], marks.pathLength[j]);
        markImplausible(v_[j], marks.velocity[j]);
    }
}

void MainFormRight::showPointValues(int point, float t, float amplitudeVolts, float velocity) {
    if (point < 0 || point > 2)
        return;
    t_[point]->setText(fixed(t, 2));
    a_[point]->setText(fixed(amplitudeVolts * 1000.0f, 2));
    v_[point]->setText(fixed(velocity, 3));
}

void MainFormRight::showStoredPointValues(int point) {
    const TestArea* area = std::as_const(bridge_).doc().currentArea();
    if (!area || point < 0 || point > 2)
        return;
    showPointValues(point, area->pointTime[point], area->pointAmplitude[point],
                    area->pointVelocity[point]);
}

void MainFormRight::pathLengthEntered(int point) {
    CTavolinDoc& doc = bridge_.doc();
    if (!doc.currentArea())
        return;
    const std::u16string message = doc.enterPathLength(doc.currentMember(), doc.currentAreaIndex(),
                                                       point, fromQ(l_[point]->text()));
    if (!message.empty())
        showMessage(this, toQ(message));
    refresh();
}

void MainFormRight::hideEvent(QHideEvent* event) {
    // Qt would move the focus to the next field in the window (of another bar), where keys
    // typed next would edit a value the user is not looking at.
    if (QWidget* focused = QApplication::focusWidget(); focused && isAncestorOf(focused))
        focused->clearFocus();
    QWidget::hideEvent(event);
}

} // namespace tavolin
