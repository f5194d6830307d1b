// The result panels only format what the document has evaluated; they compute nothing.
#include "views/resultpanels.h"

#include "data/format.h"
#include "views/displayedit.h"
#include "views/qtext.h"

#include <QFormLayout>

namespace tavolin {

namespace {

DisplayEdit* addField(QFormLayout* form, const QString& label) {
    auto* edit = new DisplayEdit;
    edit->setObjectName(label);
    edit->setAccessibleName(label);
    form->addRow(label, edit);
    return edit;
}

QFormLayout* panelLayout(QWidget* panel) {
    auto* form = new QFormLayout(panel);
    form->setContentsMargins(6, 4, 6, 4);
    form->setVerticalSpacing(3);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    return form;
}

// Long texts (the re-test rule) show their beginning; the whole text is in the tool tip.
void setShown(DisplayEdit* edit, const std::u16string& text) {
    const QString q = toQ(text);
    if (edit->text() == q)
        return;
    edit->setText(q);
    edit->setCursorPosition(0);
    edit->setToolTip(q.size() > 12 ? q : QString());
}

} // namespace

CSingleResult::CSingleResult(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CSingleResult"));
    QFormLayout* form = panelLayout(this);
    n_ = addField(form, QStringLiteral("N"));
    fmin_ = addField(form, QStringLiteral("Fmin(Mpa)"));
    fmax_ = addField(form, QStringLiteral("Fmax(Mpa)"));
    mf_ = addField(form, QStringLiteral("Mf(Mpa)"));
    sf_ = addField(form, QStringLiteral("Sf(Mpa)"));
    fcu_ = addField(form, QStringLiteral("Fcu(Mpa)"));
}

void CSingleResult::display(const MemberEvaluation& e) {
    setShown(n_, formatInt(e.N));
    setShown(fmin_, formatFixed(e.Fmin, 1));
    setShown(fmax_, formatFixed(e.Fmax, 1));
    setShown(mf_, formatFixed(e.Mf, 1));
    setShown(sf_, formatFixed(e.Sf, 2));
    setShown(fcu_, estimateText(e.Fcu, e.status, EstimateOf::Member, 0));
}

void CSingleResult::clear() {
    for (DisplayEdit* e : {n_, fmin_, fmax_, mf_, sf_, fcu_})
        e->clear();
}

CMulResult::CMulResult(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CMulResult"));
    QFormLayout* form = panelLayout(this);
    mean_ = addField(form, QStringLiteral("强度换算平均值"));
    deviation_ = addField(form, QStringLiteral("强度换算标准差"));
    estimate_ = addField(form, QStringLiteral("强度推定值"));
}

void CMulResult::display(const BatchEvaluation& e, int standard) {
    setShown(mean_, formatFixed(e.MF, 1));
    setShown(deviation_, formatFixed(e.SF, 2));
    setShown(estimate_, estimateText(e.FCUE, e.status, EstimateOf::Batch, standard));
}

void CMulResult::clear() {
    for (DisplayEdit* e : {mean_, deviation_, estimate_})
        e->clear();
}

void CMulResult::setFieldsEnabled(bool enabled) {
    for (DisplayEdit* e : {mean_, deviation_, estimate_})
        e->setEnabled(enabled);
}

} // namespace tavolin
