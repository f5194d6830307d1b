// The "钻芯修正" dialog: specimens in a table, fcu,i^c and the ratio of each row and eta, live.
#include "views/dlgcores.h"

#include "data/corefile.h"
#include "data/doc.h"
#include "data/format.h"
#include "views/qtext.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tavolin {

namespace {

enum Column { ColMember, ColArea, ColKind, ColStrength, ColFcu, ColRatio, ColumnCount };

QComboBox* comboAt(const QTableWidget* t, int row, int column) {
    return qobject_cast<QComboBox*>(t->cellWidget(row, column));
}

} // namespace

CDlgCores::CDlgCores(const CTavolinDoc& doc, QWidget* parent) : QDialog(parent), doc_(doc) {
    setWindowTitle(QStringLiteral("钻芯修正"));
    table_ = new QTableWidget(0, ColumnCount, this);
    table_->setHorizontalHeaderLabels({QStringLiteral("构件"), QStringLiteral("测区"),
                                       QStringLiteral("试件种类"), QStringLiteral("强度(MPa)"),
                                       QStringLiteral("fcu,i^c(MPa)"),
                                       QStringLiteral("f_cor,i/fcu,i^c")});
    table_->setAccessibleName(QStringLiteral("试件"));
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->verticalHeader()->setVisible(false);
    eta_ = new QLabel(this);
    eta_->setAccessibleName(QStringLiteral("修正系数η"));
    add_ = new QPushButton(QStringLiteral("添加试件"), this);
    remove_ = new QPushButton(QStringLiteral("删除试件"), this);
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    for (QPushButton* b : {add_, remove_, ok, cancel}) {
        b->setAccessibleName(b->text());
        b->setAutoDefault(false);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(remove_);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(eta_);
    layout->addLayout(buttons);
    connect(add_, &QPushButton::clicked, this, [this] { addRow(); });
    connect(remove_, &QPushButton::clicked, this, &CDlgCores::removeRow);
    connect(ok, &QPushButton::clicked, this, &CDlgCores::accept);
    connect(cancel, &QPushButton::clicked, this, &CDlgCores::reject);
    connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == ColStrength)
            refresh();
    });
    for (const Specimen& s : doc.specimens())
        addRow(s);
    if (doc.specimens().empty())
        addRow();
    resize(640, 360);
    refresh();
}

void CDlgCores::addRow(const Specimen& specimen) {
    const int row = table_->rowCount();
    table_->insertRow(row);
    auto* member = new QComboBox;
    member->setAccessibleName(QStringLiteral("构件"));
    for (const MemberInfo& m : doc_.members())
        member->addItem(toQ(m.PILEID));
    member->setCurrentIndex(specimen.member);
    auto* area = new QComboBox;
    area->setAccessibleName(QStringLiteral("测区"));
    auto* kind = new QComboBox;
    kind->setAccessibleName(QStringLiteral("试件种类"));
    kind->addItem(toQ(specimenKindText(SpecimenCore)));
    kind->addItem(toQ(specimenKindText(SpecimenCube)));
    kind->setCurrentIndex(specimen.kind == SpecimenCube ? 1 : 0);
    table_->setCellWidget(row, ColMember, member);
    table_->setCellWidget(row, ColArea, area);
    table_->setCellWidget(row, ColKind, kind);
    const QSignalBlocker block(table_);
    table_->setItem(row, ColStrength,
                    new QTableWidgetItem(specimen.strength > 0 ? QString::number(specimen.strength)
                                                               : QString()));
    for (int c : {ColFcu, ColRatio}) {
        auto* item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        table_->setItem(row, c, item);
    }
    fillAreas(row, specimen.member, specimen.area);
    connect(member, &QComboBox::currentIndexChanged, this, [this, member](int index) {
        for (int r = 0; r < table_->rowCount(); ++r)
            if (table_->cellWidget(r, ColMember) == member)
                fillAreas(r, index, 0);
        refresh();
    });
    connect(area, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    refresh();
}

void CDlgCores::fillAreas(int row, int member, int area) {
    QComboBox* box = comboAt(table_, row, ColArea);
    const QSignalBlocker block(box);
    box->clear();
    const CTavolinDoc& doc = doc_;
    if (doc.member(member))
        for (size_t k = 0; k < doc.areasOf(member).size(); ++k)
            box->addItem(QString::number(k + 1));
    box->setCurrentIndex(area < box->count() ? area : -1);
}

void CDlgCores::removeRow() {
    const int row = table_->currentRow();
    if (row >= 0)
        table_->removeRow(row);
    refresh();
}

std::vector<Specimen> CDlgCores::specimens() const {
    std::vector<Specimen> out;
    for (int r = 0; r < table_->rowCount(); ++r) {
        bool ok = false;
        const QTableWidgetItem* item = table_->item(r, ColStrength);
        const float strength = item ? item->text().trimmed().toFloat(&ok) : 0.0f;
        if (!ok)
            continue;
        Specimen s;
        s.member = comboAt(table_, r, ColMember)->currentIndex();
        s.area = comboAt(table_, r, ColArea)->currentIndex();
        s.kind = comboAt(table_, r, ColKind)->currentIndex() == 1 ? SpecimenCube : SpecimenCore;
        s.strength = strength;
        out.push_back(s);
    }
    return out;
}

void CDlgCores::refresh() {
    const QSignalBlocker block(table_);
    for (int r = 0; r < table_->rowCount(); ++r) {
        const int member = comboAt(table_, r, ColMember)->currentIndex();
        const int area = comboAt(table_, r, ColArea)->currentIndex();
        const float fcu = doc_.unitEtaStrength(member, area);
        bool ok = false;
        const double fcor = table_->item(r, ColStrength)->text().trimmed().toDouble(&ok);
        const bool known = doc_.area(member, area) != nullptr;
        table_->item(r, ColFcu)->setText(known ? toQ(formatFixed(fcu, 1)) : QString());
        const auto ratio =
            ok && fcu > 0.0f ? correctionRatio({fcu, fcor}) : std::optional<double>();
        table_->item(r, ColRatio)
            ->setText(ratio ? toQ(formatFixed(static_cast<float>(*ratio), 3)) : QString());
    }
    CoreResult result;
    const std::u16string error = doc_.previewCores(specimens(), result);
    eta_->setText(error.empty() ? QStringLiteral("η = %1（n = %2）")
                                      .arg(toQ(formatFixed(result.correction.eta, 2)))
                                      .arg(result.correction.n)
                                : toQ(error));
}

void CDlgCores::accept() {
    CoreResult result;
    const std::u16string error = doc_.previewCores(specimens(), result);
    if (!error.empty()) {
        QMessageBox::warning(this, windowTitle(), toQ(error));
        return;
    }
    QDialog::accept();
}

} // namespace tavolin
