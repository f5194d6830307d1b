// The curve fit dialog: the table is read on every change, fitted in the core and plotted.
#include "views/dlgfitcurve.h"

#include "data/corefile.h"
#include "data/csvtext.h"
#include "data/format.h"
#include "data/textcodec.h"
#include "views/qtext.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace tavolin {

namespace {

QString printed(double v, const char* format) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, v);
    return QString::fromLatin1(buffer);
}

} // namespace

FitPlot::FitPlot(QWidget* parent) : QWidget(parent) {
    setMinimumSize(280, 240);
    setAccessibleName(QStringLiteral("实测强度与拟合强度"));
}

void FitPlot::setFit(const std::vector<CurveSpecimen>& specimens,
                     const std::optional<CurveFit>& fit) {
    specimens_ = specimens;
    fit_ = fit;
    update();
}

void FitPlot::paintEvent(QPaintEvent*) {
    // White field, grey grid and black frame, as the waveform view draws.
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QRectF area = QRectF(rect()).adjusted(40, 10, -10, -30);
    double top = 10;
    if (fit_)
        for (size_t i = 0; i < specimens_.size() && i < fit_->fitted.size(); ++i)
            top = std::max({top, specimens_[i].f, fit_->fitted[i] * (1 + fit_->delta / 100)});
    top = std::ceil(top / 10) * 10;
    auto at = [&](double x, double y) {
        return QPointF(area.left() + area.width() * x / top,
                       area.bottom() - area.height() * y / top);
    };
    p.setPen(QPen(QColor(0xC0, 0xC0, 0xC0), 1, Qt::DotLine));
    for (double g = 10; g < top; g += 10) {
        p.drawLine(at(g, 0), at(g, top));
        p.drawLine(at(0, g), at(top, g));
    }
    p.setPen(Qt::black);
    p.drawRect(area);
    p.drawText(QRectF(0, area.bottom() + 4, width(), 20), Qt::AlignHCenter,
               QStringLiteral("拟合强度 fc (MPa)"));
    p.drawText(QRectF(2, area.top(), 36, 20), Qt::AlignLeft, printed(top, "%.0f"));
    if (!fit_)
        return;
    p.drawLine(at(0, 0), at(top, top));
    const double d = fit_->delta / 100;
    p.setPen(QPen(Qt::blue, 1, Qt::DashLine));
    p.drawLine(at(0, 0), at(top / (1 + d), top));
    p.drawLine(at(0, 0), at(top, top * (1 - d)));
    p.setPen(Qt::red);
    p.setBrush(Qt::red);
    for (size_t i = 0; i < specimens_.size() && i < fit_->fitted.size(); ++i)
        p.drawEllipse(at(fit_->fitted[i], specimens_[i].f), 2.5, 2.5);
}

CDlgFitCurve::CDlgFitCurve(AddCurve add, QWidget* parent)
    : QDialog(parent), addCurve_(std::move(add)) {
    setWindowTitle(QStringLiteral("拟合测强曲线"));
    table_ = new QTableWidget(30, 3, this);
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("v(km/s)"), QStringLiteral("R"), QStringLiteral("f(MPa)")});
    table_->setAccessibleName(QStringLiteral("试件"));
    result_ = new QLabel(this);
    result_->setAccessibleName(QStringLiteral("拟合结果"));
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    plot_ = new FitPlot(this);
    name_ = new QLineEdit(this);
    name_->setAccessibleName(QStringLiteral("曲线名称"));
    name_->setPlaceholderText(QStringLiteral("曲线名称"));
    auto* rowsButton = new QPushButton(QStringLiteral("添加行"), this);
    auto* import = new QPushButton(QStringLiteral("导入CSV..."), this);
    add_ = new QPushButton(QStringLiteral("加入曲线库"), this);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {rowsButton, import, add_, close}) {
        b->setAccessibleName(b->text());
        b->setAutoDefault(false);
    }
    buttons->addWidget(rowsButton);
    buttons->addWidget(import);
    buttons->addStretch();
    buttons->addWidget(name_);
    buttons->addWidget(add_);
    buttons->addWidget(close);
    auto* right = new QVBoxLayout;
    right->addWidget(result_);
    right->addWidget(plot_, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(table_, 1);
    top->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    connect(table_, &QTableWidget::itemChanged, this, &CDlgFitCurve::refit);
    connect(rowsButton, &QPushButton::clicked, this,
            [this] { table_->setRowCount(table_->rowCount() + 10); });
    connect(import, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, QStringLiteral("导入试件"), QString(), QStringLiteral("CSV (*.csv);;*"));
        if (path.isEmpty())
            return;
        std::string bytes;
        std::u16string error = readSmallFile(path.toStdString(), bytes);
        if (error.empty())
            error = setSpecimenText(decodeUserText(bytes));
        if (!error.empty())
            QMessageBox::warning(this, windowTitle(), toQ(error));
    });
    connect(add_, &QPushButton::clicked, this, &CDlgFitCurve::addToLibrary);
    connect(close, &QPushButton::clicked, this, &CDlgFitCurve::accept);
    resize(900, 520);
    refit();
}

std::u16string CDlgFitCurve::setSpecimenText(const std::string& text) {
    std::string commas = text;
    std::replace(commas.begin(), commas.end(), '\t', ',');
    std::vector<CurveSpecimen> specimens;
    if (std::u16string error = parseCurveSpecimens(commas, specimens); !error.empty())
        return error;
    {
        const QSignalBlocker block(table_);
        table_->clearContents();
        table_->setRowCount(std::max<int>(30, static_cast<int>(specimens.size())));
        for (size_t i = 0; i < specimens.size(); ++i) {
            const double values[3] = {specimens[i].v, specimens[i].R, specimens[i].f};
            for (int k = 0; k < 3; ++k)
                table_->setItem(static_cast<int>(i), k,
                                new QTableWidgetItem(QString::number(values[k], 'g', 10)));
        }
    }
    refit();
    return {};
}

void CDlgFitCurve::keyPressEvent(QKeyEvent* event) {
    // Rows copied from a spreadsheet replace the table.
    if (event->matches(QKeySequence::Paste)) {
        const std::u16string error =
            setSpecimenText(QApplication::clipboard()->text().toStdString());
        if (!error.empty())
            QMessageBox::warning(this, windowTitle(), toQ(error));
        return;
    }
    QDialog::keyPressEvent(event);
}

std::vector<CurveSpecimen> CDlgFitCurve::rows(std::u16string& error) const {
    // The filled rows as CSV lines, so that the one parser names a bad row by its number.
    std::string text;
    for (int r = 0; r < table_->rowCount(); ++r) {
        QStringList cells;
        bool any = false;
        for (int k = 0; k < 3; ++k) {
            const QTableWidgetItem* item = table_->item(r, k);
            cells << (item ? item->text().trimmed() : QString());
            any = any || !cells.back().isEmpty();
        }
        text += any ? cells.join(QLatin1Char(',')).toStdString() + "\n" : "\n";
    }
    // A first row of figures is never a header here: start with a line that is one.
    std::vector<CurveSpecimen> out;
    error = parseCurveSpecimens("v,R,f\n" + text, out);
    // Lines count from that header: the row of the table is one less.
    const std::string message = utf16ToUtf8(error);
    const std::string head = "第 ";
    if (message.compare(0, head.size(), head) == 0) {
        const size_t end = message.find(' ', head.size());
        const int line = std::atoi(message.substr(head.size(), end - head.size()).c_str());
        error =
            lineMessage(line - 1, message.substr(message.find("：") + std::string("：").size()));
    }
    return out;
}

void CDlgFitCurve::refit() {
    std::u16string error;
    const std::vector<CurveSpecimen> specimens = rows(error);
    fit_.reset();
    if (error.empty()) {
        CurveFit fit;
        switch (fitCurve(specimens, fit)) {
        case FitFailure::None:
            fit_ = fit;
            break;
        case FitFailure::TooFew:
            error = utf8ToUtf16("试件只有 " + std::to_string(specimens.size()) + " 个，至少需要 " +
                                std::to_string(kMinSpecimens) + " 个");
            break;
        case FitFailure::NotPositive:
            error = u"试件的数值应大于 0";
            break;
        case FitFailure::Degenerate:
            error = u"声速与回弹值没有各自变化（全部相同或成比例），无法拟合";
            break;
        }
    }
    if (fit_) {
        const CurveFit& f = *fit_;
        result_->setText(QStringLiteral("n = %1\na = %2   b = %3   c = %4\nδ = %5%   e_r = %6%\n"
                                        "v：%7 ~ %8 km/s\nR：%9 ~ %10\nf：%11 ~ %12 MPa")
                             .arg(f.n)
                             .arg(printed(f.a, "%.6g"), printed(f.b, "%.4f"), printed(f.c, "%.4f"),
                                  printed(f.delta, "%.2f"), printed(f.er, "%.2f"))
                             .arg(toQ(formatFixed(static_cast<float>(f.vRange[0]), 3)),
                                  toQ(formatFixed(static_cast<float>(f.vRange[1]), 3)),
                                  toQ(formatFixed(static_cast<float>(f.rRange[0]), 1)),
                                  toQ(formatFixed(static_cast<float>(f.rRange[1]), 1)),
                                  toQ(formatFixed(static_cast<float>(f.fRange[0]), 1)),
                                  toQ(formatFixed(static_cast<float>(f.fRange[1]), 1))));
    } else {
        result_->setText(toQ(error));
    }
    add_->setEnabled(fit_.has_value());
    plot_->setFit(specimens, fit_);
}

void CDlgFitCurve::addToLibrary() {
    if (!fit_)
        return;
    NamedCurve curve;
    curve.name = name_->text().trimmed().toStdU16String();
    curve.a = fit_->a;
    curve.b = fit_->b;
    curve.c = fit_->c;
    curve.ranges.v = fit_->vRange;
    curve.ranges.r = fit_->rRange;
    curve.note = utf8ToUtf16("由 " + std::to_string(fit_->n) +
                             " 个试件拟合（δ = " + printed(fit_->delta, "%.2f").toStdString() +
                             "%，e_r = " + printed(fit_->er, "%.2f").toStdString() + "%）");
    const std::u16string error = addCurve_(roundedToFilePrecision(curve));
    if (!error.empty()) {
        QMessageBox::warning(this, windowTitle(), toQ(error));
        return;
    }
    result_->setText(result_->text() + QStringLiteral("\n已加入曲线库：") + toQ(curve.name));
}

} // namespace tavolin
