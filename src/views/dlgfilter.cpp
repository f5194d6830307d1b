// The filter dialog: checks the typed cut-offs, reports in its title bar and applies at once.
#include "views/dlgfilter.h"

#include "data/mathoperation.h"
#include "views/docbridge.h"
#include "views/shellui.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

namespace tavolin {

namespace {
const QString titleOk = QStringLiteral("数字滤波");
const QString titleHighRange = QStringLiteral("高通范围为0.01-20kHz");
const QString titleLowRange = QStringLiteral("低通范围为2-500kHz");
const QString titleCross = QStringLiteral("高通值必须小于低通值");
} // namespace

CDlgFilter::CDlgFilter(DocBridge& bridge, QWidget* parent)
    : QDialog(parent), edit_(bridge.edit()), atOpening_(bridge.doc().filter()),
      settings_(atOpening_) {
    setObjectName(QStringLiteral("CDlgFilter"));
    setWindowTitle(QStringLiteral("滤波"));

    highCheck_ = new QCheckBox(QStringLiteral("高通(kHz)"), this);
    highCheck_->setObjectName(QStringLiteral("checkHigh"));
    lowCheck_ = new QCheckBox(QStringLiteral("低通(kHz)"), this);
    lowCheck_->setObjectName(QStringLiteral("checkLow"));
    highEdit_ = new QLineEdit(this);
    highEdit_->setObjectName(QStringLiteral("editHigh"));
    lowEdit_ = new QLineEdit(this);
    lowEdit_->setObjectName(QStringLiteral("editLow"));
    // Each edit is named by the check box beside it, which is its label.
    highEdit_->setAccessibleName(highCheck_->text());
    lowEdit_->setAccessibleName(lowCheck_->text());

    QDialogButtonBox* buttons = okCancelButtons(this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(highCheck_, 0, 0);
    grid->addWidget(highEdit_, 0, 1);
    grid->addWidget(lowCheck_, 1, 0);
    grid->addWidget(lowEdit_, 1, 1);
    grid->addWidget(buttons, 2, 0, 1, 2);
    // The dialog's title doubles as its status line, so it must be wide enough to read.
    setMinimumWidth(300);

    const FilterSettings& f = settings_;
    highCheck_->setChecked(f.highOn);
    lowCheck_->setChecked(f.lowOn);
    highEdit_->setEnabled(f.highOn);
    lowEdit_->setEnabled(f.lowOn);

    connect(highCheck_, &QCheckBox::clicked, this, &CDlgFilter::onHighChecked);
    connect(lowCheck_, &QCheckBox::clicked, this, &CDlgFilter::onLowChecked);
    connect(highEdit_, &QLineEdit::textChanged, this, &CDlgFilter::onHighChanged);
    connect(lowEdit_, &QLineEdit::textChanged, this, &CDlgFilter::onLowChanged);

    // Filling the edits runs their handlers, so the dialog applies the current settings at once.
    highEdit_->setText(QString::asprintf("%.2f", static_cast<double>(f.highKHz)));
    lowEdit_->setText(QString::asprintf("%.0f", static_cast<double>(f.lowKHz)));
}

float CDlgFilter::readNumber(const QLineEdit* edit) {
    float value = 0.0f;
    if (!MathOperation::TextToFloat(fromQ(edit->text()), value))
        showMessage(this, toQ(MathOperation::tooLongMessage));
    return value;
}

void CDlgFilter::apply() {
    edit_.applyFilter(); // notifies the panes, which redraw after this handler
    edit_.setModified(true);
}

void CDlgFilter::onHighChecked(bool on) {
    settings_.highOn = on;
    store();
    highEdit_->setEnabled(on);
    if (on)
        onHighChanged();
    else
        apply();
}

void CDlgFilter::onLowChecked(bool on) {
    settings_.lowOn = on;
    store();
    lowEdit_->setEnabled(on);
    if (on)
        onLowChanged();
    else
        apply();
}

void CDlgFilter::onHighChanged() {
    FilterSettings& f = settings_;
    f.highKHz = readNumber(highEdit_);
    store();
    if (f.highKHz > 9999.0f) {
        showMessage(this, titleHighRange);
        // Putting the shortened text back runs this handler again, which does the checks.
        highEdit_->setText(highEdit_->text().left(4));
        return;
    }
    if (f.highKHz > 20.0f || f.highKHz < 0.0099995f) {
        setWindowTitle(titleHighRange);
    } else if (f.highKHz > f.lowKHz) {
        setWindowTitle(titleCross);
    } else {
        setWindowTitle(titleOk);
        if (!highEdit_->text().isEmpty())
            apply();
    }
}

void CDlgFilter::onLowChanged() {
    FilterSettings& f = settings_;
    f.lowKHz = readNumber(lowEdit_);
    store();
    if (f.lowKHz > 9999.0f) {
        showMessage(this, QStringLiteral("低通范围为2-500"));
        lowEdit_->setText(lowEdit_->text().left(4));
        return;
    }
    if (f.lowKHz > 500.0f || f.lowKHz < 2.0f) {
        setWindowTitle(titleLowRange);
    } else if (f.highKHz > f.lowKHz) {
        setWindowTitle(titleCross);
    } else {
        setWindowTitle(titleOk);
        if (!lowEdit_->text().isEmpty())
            apply();
    }
}

void CDlgFilter::accept() {
    // The cut-offs take the typed texts whatever the title says; the waveforms keep the last
    // valid application.
    settings_.highKHz = readNumber(highEdit_);
    settings_.lowKHz = readNumber(lowEdit_);
    store();
    QDialog::accept();
}

void CDlgFilter::reject() {
    settings_ = atOpening_;
    store();
    apply();
    QDialog::reject();
}

} // namespace tavolin
