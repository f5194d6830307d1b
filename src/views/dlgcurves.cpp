// The curve library dialog: one row per curve, checked as a whole at "确定".
#include "views/dlgcurves.h"

#include "data/csvtext.h"
#include "data/textcodec.h"
#include "views/qtext.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <charconv>

namespace tavolin {

namespace {

enum Column { ColName, ColA, ColB, ColC, ColVLo, ColVHi, ColRLo, ColRHi, ColNote, ColumnCount };

QString numberText(double v) {
    char buffer[40];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    return ec == std::errc() ? QString::fromLatin1(buffer, int(end - buffer)) : QString();
}

} // namespace

CDlgCurves::CDlgCurves(const CurveLibrary& library, QWidget* parent)
    : QDialog(parent), library_(library) {
    setWindowTitle(QStringLiteral("测强曲线库"));
    table_ = new QTableWidget(0, ColumnCount, this);
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("名称"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
         QStringLiteral("v下限(km/s)"), QStringLiteral("v上限(km/s)"), QStringLiteral("R下限"),
         QStringLiteral("R上限"), QStringLiteral("来源说明")});
    table_->setAccessibleName(QStringLiteral("测强曲线"));
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setVisible(false);
    auto* add = new QPushButton(QStringLiteral("添加"), this);
    auto* remove = new QPushButton(QStringLiteral("删除"), this);
    auto* import = new QPushButton(QStringLiteral("导入..."), this);
    auto* exportButton = new QPushButton(QStringLiteral("导出..."), this);
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {add, remove, import, exportButton}) {
        b->setAccessibleName(b->text());
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    for (QPushButton* b : {ok, cancel}) {
        b->setAccessibleName(b->text());
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addLayout(buttons);
    connect(add, &QPushButton::clicked, this, [this] { addRow(); });
    connect(remove, &QPushButton::clicked, this, &CDlgCurves::removeRow);
    connect(ok, &QPushButton::clicked, this, &CDlgCurves::accept);
    connect(cancel, &QPushButton::clicked, this, &CDlgCurves::reject);
    connect(import, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, QStringLiteral("导入测强曲线"), QString(), QStringLiteral("曲线库 (*.json)"));
        if (path.isEmpty())
            return;
        if (const std::u16string message = importFile(path.toStdString()); !message.empty())
            QMessageBox::warning(this, windowTitle(), toQ(message));
    });
    connect(exportButton, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出测强曲线"),
                                                          QStringLiteral("curves.json"),
                                                          QStringLiteral("曲线库 (*.json)"));
        if (path.isEmpty())
            return;
        if (const std::u16string message = exportFile(path.toStdString()); !message.empty())
            QMessageBox::warning(this, windowTitle(), toQ(message));
    });
    for (const NamedCurve& c : library.curves)
        addRow(c);
    resize(820, 360);
}

void CDlgCurves::addRow(const NamedCurve& c) {
    const int row = table_->rowCount();
    table_->insertRow(row);
    const bool blank = c.name.empty();
    const QString texts[ColumnCount] = {toQ(c.name),
                                        blank ? QString() : numberText(c.a),
                                        blank ? QString() : numberText(c.b),
                                        blank ? QString() : numberText(c.c),
                                        blank ? QString() : numberText(c.ranges.v[0]),
                                        blank ? QString() : numberText(c.ranges.v[1]),
                                        blank ? QString() : numberText(c.ranges.r[0]),
                                        blank ? QString() : numberText(c.ranges.r[1]),
                                        toQ(c.note)};
    for (int k = 0; k < ColumnCount; ++k)
        table_->setItem(row, k, new QTableWidgetItem(texts[k]));
    table_->setCurrentCell(row, ColName);
}

void CDlgCurves::removeRow() {
    if (const int row = table_->currentRow(); row >= 0)
        table_->removeRow(row);
}

std::u16string CDlgCurves::read(CurveLibrary& out) const {
    CurveLibrary library;
    static const char* names[ColumnCount] = {"",      "a",     "b",     "c", "v下限",
                                             "v上限", "R下限", "R上限", ""};
    for (int r = 0; r < table_->rowCount(); ++r) {
        auto text = [&](int column) {
            const QTableWidgetItem* item = table_->item(r, column);
            return item ? item->text().trimmed() : QString();
        };
        NamedCurve c;
        c.name = text(ColName).toStdU16String();
        c.note = text(ColNote).toStdU16String();
        double* values[] = {&c.a,           &c.b,           &c.c,          &c.ranges.v[0],
                            &c.ranges.v[1], &c.ranges.r[0], &c.ranges.r[1]};
        for (int k = ColA; k <= ColRHi; ++k)
            if (!parseDecimal(text(k).toStdString(), *values[k - ColA]))
                return utf8ToUtf16("第 " + std::to_string(r + 1) + " 行：" + names[k] +
                                   " 不是有效的数值");
        if (std::u16string error = addCurve(library, c); !error.empty())
            return utf8ToUtf16("第 " + std::to_string(r + 1) + " 行：") + error;
    }
    out = std::move(library);
    return {};
}

std::u16string CDlgCurves::importFile(const std::string& path) {
    CurveLibrary incoming;
    if (std::u16string error = readCurveLibrary(path, incoming, false); !error.empty())
        return error;
    std::u16string skipped;
    for (const NamedCurve& c : incoming.curves) {
        bool present = false;
        for (int r = 0; r < table_->rowCount() && !present; ++r)
            present = table_->item(r, ColName) &&
                      table_->item(r, ColName)->text().trimmed().toStdU16String() == c.name;
        if (present)
            skipped += (skipped.empty() ? u"" : u"、") + c.name;
        else
            addRow(c);
    }
    return skipped.empty() ? std::u16string() : u"已有同名曲线，未导入：" + skipped;
}

std::u16string CDlgCurves::exportFile(const std::string& path) const {
    CurveLibrary library;
    if (std::u16string error = read(library); !error.empty())
        return error;
    return writeCurveLibrary(path, library);
}

void CDlgCurves::accept() {
    if (std::u16string error = read(library_); !error.empty()) {
        QMessageBox::warning(this, windowTitle(), toQ(error));
        return;
    }
    QDialog::accept();
}

} // namespace tavolin
