// Application-wide naming of form fields after their visible labels.
#include "widgets/accessiblenames.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace tavolin {

namespace {

QString labelText(const QLabel* label) {
    QString t = label->text();
    if (label->textFormat() != Qt::PlainText && Qt::mightBeRichText(t))
        return {};
    t.remove(QLatin1Char('&'));
    t = t.trimmed();
    while (t.endsWith(QLatin1Char(':')) || t.endsWith(QChar(0xFF1A)))
        t.chop(1);
    return t.trimmed();
}

void nameField(QWidget* field, const QString& name) {
    if (!field || name.isEmpty())
        return;
    if (field->accessibleName().isEmpty())
        field->setAccessibleName(name);
    // An editable combo's inner edit is a control of its own in the tree.
    if (auto* combo = qobject_cast<QComboBox*>(field);
        combo && combo->lineEdit() && combo->lineEdit()->accessibleName().isEmpty())
        combo->lineEdit()->setAccessibleName(field->accessibleName());
}

QWidget* firstWidget(QLayoutItem* item) {
    if (!item)
        return nullptr;
    if (item->widget())
        return item->widget();
    if (QLayout* l = item->layout())
        for (int i = 0; i < l->count(); ++i)
            if (QWidget* w = firstWidget(l->itemAt(i)))
                return w;
    return nullptr;
}

class Namer : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto* w = static_cast<QWidget*>(watched);
        if (auto* label = qobject_cast<QLabel*>(w); label && label->buddy())
            nameField(label->buddy(), labelText(label));
        if (QLayout* l = w->layout())
            nameFieldsByLabels(l);
        return false;
    }
};

} // namespace

void nameFieldsByLabels(QLayout* layout) {
    if (auto* form = qobject_cast<QFormLayout*>(layout)) {
        for (int r = 0; r < form->rowCount(); ++r) {
            QLayoutItem* labelItem = form->itemAt(r, QFormLayout::LabelRole);
            auto* label = labelItem ? qobject_cast<QLabel*>(labelItem->widget()) : nullptr;
            if (label)
                nameField(firstWidget(form->itemAt(r, QFormLayout::FieldRole)), labelText(label));
        }
    }
    for (int i = 0; i < layout->count(); ++i)
        if (QLayout* inner = layout->itemAt(i)->layout())
            nameFieldsByLabels(inner);
}

void installAccessibleNames() {
    static Namer* namer = nullptr;
    if (namer || !qApp)
        return;
    namer = new Namer(qApp);
    qApp->installEventFilter(namer);
}

} // namespace tavolin
