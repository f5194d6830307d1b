// The grid, buttons and number reading shared by CDlgAngle, CDlgPlane and CDlgCarbon.
#include "views/correctiondialog.h"

#include "data/format.h"
#include "data/mathoperation.h"
#include "views/qtext.h"
#include "views/shellui.h"
#include "widgets/tavolingrid.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tavolin {

CorrectionTableDialog::CorrectionTableDialog(const CorrectionTables& tables, int standard,
                                             const QString& title, QWidget* parent)
    : QDialog(parent), standard_(standard), tables_(tables) {
    setWindowTitle(title);
    grid_ = new TavolinGrid(this);
    grid_->setObjectName(QStringLiteral("gridTable"));
    grid_->setAccessibleName(title);
    QDialogButtonBox* buttons = okCancelButtons(this);
    defaults_ = buttons->addButton(QStringLiteral("默认值"), QDialogButtonBox::ResetRole);
    defaults_->setObjectName(QStringLiteral("IDDEFAULT"));
    defaults_->setAutoDefault(false);
    connect(defaults_, &QPushButton::clicked, this, [this] {
        resetShown();
        fill();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addWidget(buttons);
}

float CorrectionTableDialog::readCell(int row, int column) {
    float value = 0.0f;
    if (!MathOperation::TextToFloat(fromQ(grid_->cellText(row, column)), value))
        tooLong_ = true;
    return value;
}

void CorrectionTableDialog::setValueCell(int row, int column, float value) {
    grid_->setCellText(row, column, QString::asprintf("%.1f", double(value)));
    grid_->setCellAlignment(row, column, Qt::AlignCenter);
}

void CorrectionTableDialog::fitTo(int rows) {
    int width = 2 * grid_->frameWidth();
    for (int c = 0; c < grid_->columnCount(); ++c)
        width += grid_->columnWidth(c);
    int height = 2 * grid_->frameWidth();
    for (int r = 0; r < std::min(rows, grid_->rowCount()); ++r)
        height += grid_->rowHeight(r);
    if (rows < grid_->rowCount())
        width += grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    grid_->setMinimumSize(width, std::min(height, 240));
    resize(sizeHint().width(), sizeHint().height() - grid_->minimumHeight() + height);
}

void CorrectionTableDialog::accept() {
    tooLong_ = false;
    store();
    if (tooLong_)
        showMessage(this, toQ(MathOperation::tooLongMessage));
    QDialog::accept();
}

} // namespace tavolin
