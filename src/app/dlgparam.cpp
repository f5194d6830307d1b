// The test-parameter dialog: read-only fields that never take the focus.
#include "app/dlgparam.h"

#include "data/doc.h"

#include "views/shellui.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavolin {

namespace {
// Floats shown as the framework's data exchange shows them (six significant digits).
QString number(float v) {
    return QString::number(static_cast<double>(v), 'g', 6);
}
} // namespace

CDlgParam::CDlgParam(CTavolinDoc& doc, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CDlgParam"));
    setWindowTitle(QStringLiteral("检测参数"));

    const SectionPara* record = nullptr;
    const int member = doc.currentMember();
    if (doc.isOpen() && member >= 0 && member < static_cast<int>(doc.job().sections.size()))
        record = &doc.job().sections[member];

    auto* form = new QFormLayout;
    auto add = [this, form](const QString& label, const char* name, const QString& value,
                            bool shown = true) {
        auto* edit = new QLineEdit(value, this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus); // display only: never takes keys or the focus
        auto* caption = new QLabel(label, this);
        form->addRow(caption, edit);
        caption->setVisible(shown);
        edit->setVisible(shown);
    };
    add(QStringLiteral("低通(kHz）:"), "editFiltL", record ? number(record->FiltL) : QString());
    add(QStringLiteral("高通(kHz)："), "editFiltH", record ? number(record->FiltH) : QString());
    add(QStringLiteral("采样间隔(us)："), "editDT",
        record ? QString::asprintf("%.1f", static_cast<double>(record->dT)) : QString());
    add(QStringLiteral("采样长度："), "editDatLen",
        record ? QString::number(record->DatLen) : QString());
    add(QStringLiteral("校零："), "editT0", record ? number(record->T0) : QString());
    add(QStringLiteral("增益："), "editGain", record ? number(record->Gain) : QString(), false);
    add(QStringLiteral("延时(us)："), "editDelay", record ? number(record->Delay) : QString(),
        false);

    QDialogButtonBox* buttons = okCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QLineEdit* CDlgParam::field(const QString& objectName) const {
    return findChild<QLineEdit*>(objectName);
}

} // namespace tavolin
