// The print-settings dialog: page settings with their enabling, report information with its
// lists and date pickers, the "确定" check and the "取消" rule.
#include "views/dlgprintsettings.h"

#include "views/datepicker.h"

#include "views/qtext.h"
#include "views/shellui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tavolin {

namespace {

const QStringList kFaces{QStringLiteral("宋体"), QStringLiteral("黑体"), QStringLiteral("隶书"),
                         QStringLiteral("仿宋_GB2312"), QStringLiteral("楷体_GB2312")};
const QStringList kBandPositions{QStringLiteral("左侧"), QStringLiteral("居中"),
                                 QStringLiteral("右侧")};
// The lists of the editable drop-downs, in the order the sorted controls show them.
const QStringList kGrades{QStringLiteral("C15"), QStringLiteral("C20"), QStringLiteral("C25"),
                          QStringLiteral("C30"), QStringLiteral("C35"), QStringLiteral("C40"),
                          QStringLiteral("C45"), QStringLiteral("C50"), QStringLiteral("C55"),
                          QStringLiteral("C60"), QStringLiteral("C65"), QStringLiteral("C70"),
                          QStringLiteral("C75"), QStringLiteral("C80")};
const QStringList kModels{QStringLiteral("VEK-M5"), QStringLiteral("VEK-M5(T)"),
                          QStringLiteral("VEK-M6 "), QStringLiteral("VEK-M7")};
const QStringList kTables{QStringLiteral("地区"), QStringLiteral("规程"), QStringLiteral("专用")};

const QString kInvalidInteger = QStringLiteral("请输入一个整数。");

template <class W> W* named(W* widget, const QString& name) {
    widget->setAccessibleName(name);
    return widget;
}

QSpinBox* spin(const QString& name) {
    auto* s = named(new QSpinBox, name);
    s->setRange(0, 100);
    return s;
}

QComboBox* list(const QString& name, const QStringList& items, bool editable = false) {
    auto* c = named(new QComboBox, name);
    c->addItems(items);
    c->setEditable(editable);
    return c;
}

// The leading decimal integer of a text ("06xyz" → 6); 0 when there is none.
int leadingInt(const QString& text) {
    int value = 0;
    int i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    while (i < text.size() && text[i].isDigit() && value < 100000)
        value = value * 10 + text[i++].digitValue();
    return value;
}

// Index of a stored code in a list, the first entry for a code outside it.
int indexIn(int code, int count) {
    return code >= 0 && code < count ? code : 0;
}

bool readInt(QLineEdit* edit, int& value) {
    bool ok = false;
    const int v = edit->text().trimmed().toInt(&ok);
    if (ok)
        value = v;
    return ok;
}

} // namespace

CDlgPrintSettings::CDlgPrintSettings(const PrintSettings& print, const ReportInfo& info,
                                     bool fileOpen, QWidget* parent)
    : QDialog(parent), print_(print), info_(info), fileOpen_(fileOpen),
      headerAtOpening_(print.printHeader), footerAtOpening_(print.printFooter),
      pageNumberAtOpening_(print.printPageNumber) {
    setWindowTitle(QStringLiteral("打印设置"));
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabPrintSettings"));
    tabs_->setAccessibleName(QStringLiteral("打印设置"));
    tabs_->addTab(buildPagePage(), QStringLiteral("打印页面设置"));
    tabs_->addTab(buildInfoPage(), QStringLiteral("打印工程信息"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(okCancelButtons(this));
    loadPage();
    loadInfo();
}

QWidget* CDlgPrintSettings::buildPagePage() {
    auto* page = new QWidget;
    header_ = named(new QCheckBox(QStringLiteral("打印页眉")), QStringLiteral("打印页眉"));
    footer_ = named(new QCheckBox(QStringLiteral("打印页脚")), QStringLiteral("打印页脚"));
    pageNumber_ = named(new QCheckBox(QStringLiteral("打印页码")), QStringLiteral("打印页码"));
    for (QCheckBox* box : {header_, footer_, pageNumber_})
        connect(box, &QCheckBox::clicked, this, &CDlgPrintSettings::onSwitchClicked);

    auto* content = new QGroupBox(QStringLiteral("打印内容"));
    fieldRecord_ = named(new QCheckBox(QStringLiteral("超声回弹综合法检测记录表")),
                         QStringLiteral("超声回弹综合法检测记录表"));
    resultTable_ = named(new QCheckBox(QStringLiteral("强度报告")), QStringLiteral("强度报告"));
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->addWidget(fieldRecord_);
    contentLayout->addWidget(resultTable_);

    auto* lines = new QGroupBox(QStringLiteral("线型"));
    border_ = named(new QLineEdit, QStringLiteral("边框"));
    grid_ = named(new QLineEdit, QStringLiteral("网格"));
    auto* linesLayout = new QFormLayout(lines);
    linesLayout->addRow(QStringLiteral("边框"), border_);
    linesLayout->addRow(QStringLiteral("网格"), grid_);

    auto* margins = new QGroupBox(QStringLiteral("页边距(单位:mm)"));
    marginTop_ = spin(QStringLiteral("上"));
    marginBottom_ = spin(QStringLiteral("下"));
    marginLeft_ = spin(QStringLiteral("左"));
    marginRight_ = spin(QStringLiteral("右"));
    auto* marginLayout = new QGridLayout(margins);
    marginLayout->addWidget(new QLabel(QStringLiteral("上")), 0, 0);
    marginLayout->addWidget(marginTop_, 0, 1);
    marginLayout->addWidget(new QLabel(QStringLiteral("下")), 0, 2);
    marginLayout->addWidget(marginBottom_, 0, 3);
    marginLayout->addWidget(new QLabel(QStringLiteral("左")), 1, 0);
    marginLayout->addWidget(marginLeft_, 1, 1);
    marginLayout->addWidget(new QLabel(QStringLiteral("右")), 1, 2);
    marginLayout->addWidget(marginRight_, 1, 3);

    numberPosition_ =
        list(QStringLiteral("页码位置"),
             {QStringLiteral("底部左侧"), QStringLiteral("底部居中"), QStringLiteral("底部右侧")});
    firstNumber_ = spin(QStringLiteral("起始页码"));
    numberFormat_ =
        list(QStringLiteral("页码格式"), {QStringLiteral("123"), QStringLiteral("I II III")});
    auto* numbers = new QFormLayout;
    numbers->addRow(QStringLiteral("页码位置"), numberPosition_);
    numbers->addRow(QStringLiteral("起始页码"), firstNumber_);
    numbers->addRow(QStringLiteral("页码格式"), numberFormat_);

    auto band = [](const QString& title, const QString& textLabel, QSpinBox*& height,
                   QComboBox*& position, QComboBox*& font, QLineEdit*& text) {
        auto* group = new QGroupBox(title);
        height = spin(QStringLiteral("高度"));
        position = list(QStringLiteral("位置"), kBandPositions);
        font = list(QStringLiteral("字体"), kFaces);
        text = named(new QLineEdit, textLabel.trimmed());
        auto* form = new QGridLayout(group);
        form->addWidget(new QLabel(QStringLiteral("高度")), 0, 0);
        form->addWidget(height, 0, 1);
        form->addWidget(new QLabel(QStringLiteral("(mm)")), 0, 2);
        form->addWidget(new QLabel(QStringLiteral("位置")), 1, 0);
        form->addWidget(position, 1, 1, 1, 2);
        form->addWidget(new QLabel(QStringLiteral("字体")), 2, 0);
        form->addWidget(font, 2, 1, 1, 2);
        form->addWidget(new QLabel(textLabel), 3, 0);
        form->addWidget(text, 3, 1, 1, 2);
        return group;
    };
    QGroupBox* headerGroup = band(QStringLiteral("页眉"), QStringLiteral(" 页眉内容"),
                                  headerHeight_, headerPosition_, headerFont_, headerText_);
    QGroupBox* footerGroup = band(QStringLiteral("页脚"), QStringLiteral("页脚内容"), footerHeight_,
                                  footerPosition_, footerFont_, footerText_);

    auto* switches = new QHBoxLayout;
    switches->addWidget(header_);
    switches->addWidget(footer_);
    switches->addWidget(pageNumber_);
    auto* grid = new QGridLayout(page);
    grid->addLayout(switches, 0, 0, 1, 2);
    grid->addWidget(content, 1, 0);
    grid->addWidget(lines, 1, 1);
    grid->addWidget(margins, 2, 0);
    grid->addLayout(numbers, 2, 1);
    grid->addWidget(headerGroup, 3, 0);
    grid->addWidget(footerGroup, 3, 1);
    return page;
}

QWidget* CDlgPrintSettings::buildInfoPage() {
    auto* page = new QWidget;
    auto* form = new QGridLayout(page);
    int row = 0;
    int column = 0;
    auto place = [&](const QString& label, QWidget* w, bool wide = false) {
        if (wide && column != 0) {
            ++row;
            column = 0;
        }
        form->addWidget(new QLabel(label), row, column);
        form->addWidget(w, row, column + 1, 1, wide ? 3 : 1);
        column = wide ? 4 : column + 2;
        if (column >= 4) {
            column = 0;
            ++row;
        }
    };
    auto text = [&](const QString& label, std::u16string ReportInfo::*field, bool wide = false) {
        auto* edit = named(new QLineEdit, label);
        texts_.push_back({edit, field});
        place(label, edit, wide);
    };
    auto combo = [&](const QString& label, const QStringList& items,
                     std::u16string ReportInfo::*field) {
        QComboBox* c = list(label, items, true);
        combos_.push_back({c, field});
        place(label, c);
    };
    auto date = [&](const QString& label, std::u16string ReportInfo::*field) {
        // Blank while the date is unknown: a report must not print a date nobody gave.
        auto* picker = named(new DatePicker, label);
        dates_.push_back({picker, field});
        place(label, picker);
    };
    text(QStringLiteral("工程名称"), &ReportInfo::projectName, true);
    text(QStringLiteral("检测单位"), &ReportInfo::testingOrg, true);
    text(QStringLiteral("施工单位"), &ReportInfo::constructionOrg, true);
    text(QStringLiteral("委托单位"), &ReportInfo::clientOrg, true);
    text(QStringLiteral("检测龄期"), &ReportInfo::testAge);
    combo(QStringLiteral("设计强度"), kGrades, &ReportInfo::designGrade);
    text(QStringLiteral("检测依据"), &ReportInfo::testBasis);
    text(QStringLiteral("委托编号"), &ReportInfo::commissionNo);
    combo(QStringLiteral("仪器型号"), kModels, &ReportInfo::instrumentModel);
    text(QStringLiteral("仪器编号"), &ReportInfo::instrumentNo);
    text(QStringLiteral("检测编号"), &ReportInfo::testNo);
    combo(QStringLiteral("换算表名称"), kTables, &ReportInfo::conversionTable);
    date(QStringLiteral("检测日期"), &ReportInfo::testDate);
    date(QStringLiteral("报告日期"), &ReportInfo::reportDate);
    date(QStringLiteral("施工日期"), &ReportInfo::constructionDate);
    text(QStringLiteral("现场记录表备注："), &ReportInfo::fieldRecordRemark, true);
    text(QStringLiteral("结果数据表备注："), &ReportInfo::resultTableRemark, true);
    for (const DateField& d : dates_) {
        QDateEdit* picker = d.picker;
        auto field = d.field;
        connect(picker, &QDateEdit::dateChanged, this,
                [this, picker, field] { onDateChanged(picker, field); });
    }
    return page;
}

void CDlgPrintSettings::loadPage() {
    const PrintSettings& s = print_;
    header_->setChecked(s.printHeader);
    footer_->setChecked(s.printFooter);
    pageNumber_->setChecked(s.printPageNumber);
    fieldRecord_->setChecked(s.printFieldRecord);
    resultTable_->setChecked(s.printResultTable);
    border_->setText(QString::number(s.borderWidth));
    grid_->setText(QString::number(s.gridWidth));
    marginTop_->setValue(s.marginTop);
    marginBottom_->setValue(s.marginBottom);
    marginLeft_->setValue(s.marginLeft);
    marginRight_->setValue(s.marginRight);
    numberPosition_->setCurrentIndex(indexIn(s.pageNumberPosition, 3));
    firstNumber_->setValue(s.firstPageNumber);
    numberFormat_->setCurrentIndex(indexIn(s.pageNumberFormat, 2));
    headerHeight_->setValue(s.headerHeight);
    headerPosition_->setCurrentIndex(indexIn(s.headerPosition, 3));
    headerFont_->setCurrentIndex(indexIn(s.headerFont, 5));
    headerText_->setText(toQ(s.headerText));
    footerHeight_->setValue(s.footerHeight);
    footerPosition_->setCurrentIndex(indexIn(s.footerPosition, 3));
    footerFont_->setCurrentIndex(indexIn(s.footerFont, 5));
    footerText_->setText(toQ(s.footerText));
    applyEnabling();
}

void CDlgPrintSettings::loadInfo() {
    for (const TextField& t : texts_)
        t.edit->setText(toQ(info_.*t.field));
    for (const ComboField& c : combos_) {
        const QString stored = toQ(info_.*c.field);
        const int index = c.combo->findText(stored, Qt::MatchExactly);
        if (index >= 0)
            c.combo->setCurrentIndex(index);
        else
            c.combo->setEditText(stored);
    }
    // Each date is read from its text and stored back in the one date form; a missing or
    // unreadable one stays blank.
    for (const DateField& d : dates_) {
        const QDate date = parseDate(toQ(info_.*d.field), DatePicker::noDate());
        const QSignalBlocker block(d.picker);
        d.picker->setDate(date);
        info_.*d.field = fromQ(dateText(date));
    }
}

bool CDlgPrintSettings::storePage() {
    PrintSettings& s = print_;
    int border = s.borderWidth;
    int grid = s.gridWidth;
    for (auto [edit, value] : {std::pair{border_, &border}, std::pair{grid_, &grid}})
        if (!readInt(edit, *value)) {
            showMessage(this, kInvalidInteger);
            tabs_->setCurrentIndex(0);
            edit->setFocus();
            edit->selectAll();
            return false;
        }
    s.printHeader = header_->isChecked();
    s.printFooter = footer_->isChecked();
    s.printPageNumber = pageNumber_->isChecked();
    s.printFieldRecord = fieldRecord_->isChecked();
    s.printResultTable = resultTable_->isChecked();
    s.borderWidth = border;
    s.gridWidth = grid;
    s.marginTop = marginTop_->value();
    s.marginBottom = marginBottom_->value();
    s.marginLeft = marginLeft_->value();
    s.marginRight = marginRight_->value();
    s.pageNumberPosition = numberPosition_->currentIndex();
    s.firstPageNumber = firstNumber_->value();
    s.pageNumberFormat = numberFormat_->currentIndex();
    s.headerHeight = headerHeight_->value();
    s.headerPosition = headerPosition_->currentIndex();
    s.headerFont = headerFont_->currentIndex();
    s.headerText = fromQ(headerText_->text());
    s.footerHeight = footerHeight_->value();
    s.footerPosition = footerPosition_->currentIndex();
    s.footerFont = footerFont_->currentIndex();
    s.footerText = fromQ(footerText_->text());
    return true;
}

void CDlgPrintSettings::storeInfo() {
    for (const TextField& t : texts_)
        info_.*t.field = fromQ(t.edit->text());
    for (const ComboField& c : combos_)
        info_.*c.field = fromQ(c.combo->currentText());
    for (const DateField& d : dates_)
        info_.*d.field = fromQ(dateText(d.picker->date()));
}

void CDlgPrintSettings::applyEnabling() {
    const bool header = header_->isChecked();
    const bool footer = footer_->isChecked();
    const bool numbers = pageNumber_->isChecked();
    for (QWidget* w :
         std::initializer_list<QWidget*>{headerHeight_, headerPosition_, headerFont_, headerText_})
        w->setEnabled(header);
    for (QWidget* w :
         std::initializer_list<QWidget*>{footerHeight_, footerPosition_, footerFont_, footerText_})
        w->setEnabled(footer);
    for (QWidget* w : std::initializer_list<QWidget*>{numberPosition_, firstNumber_, numberFormat_})
        w->setEnabled(numbers);
}

void CDlgPrintSettings::onSwitchClicked() {
    storePage();
    applyEnabling();
}

void CDlgPrintSettings::onDateChanged(QDateEdit* picker, std::u16string ReportInfo::*field) {
    if (!fileOpen_)
        return;
    storeInfo();
    info_.*field = fromQ(dateText(picker->date()));
}

void CDlgPrintSettings::accept() {
    if (!storePage())
        return;
    if (!print_.printFieldRecord && !print_.printResultTable) {
        showMessage(this, QStringLiteral("请选择要打印的内容"));
        return;
    }
    storeInfo();
    QDialog::accept();
}

void CDlgPrintSettings::reject() {
    print_.printHeader = headerAtOpening_;
    print_.printFooter = footerAtOpening_;
    print_.printPageNumber = pageNumberAtOpening_;
    QDialog::reject();
}

QDate CDlgPrintSettings::parseDate(const QString& stored, const QDate& fallback) {
    const QString text = stored.left(10);
    int year = 0, month = 0, day = 0;
    auto split = [&](QChar separator) {
        const QStringList parts = text.split(separator);
        year = leadingInt(parts.value(0));
        month = leadingInt(parts.value(1));
        day = leadingInt(parts.value(2));
    };
    if (text.contains(u'-')) {
        split(u'-');
    } else if (text.contains(u'.')) {
        split(u'.');
    } else if (const int y = text.indexOf(u'年'); y >= 0) {
        year = leadingInt(text.left(y));
        const QString rest = text.mid(y + 1);
        const int m = rest.indexOf(u'月');
        month = leadingInt(m >= 0 ? rest.left(m) : rest);
        if (m >= 0) {
            const QString dayText = rest.mid(m + 1);
            const int d = dayText.indexOf(u'日');
            day = leadingInt(d >= 0 ? dayText.left(d) : dayText);
        }
    } else {
        return fallback;
    }
    const QDate date(year, month, day);
    return date.isValid() ? date : fallback;
}

QString CDlgPrintSettings::dateText(const QDate& date) {
    if (!date.isValid() || date <= DatePicker::noDate())
        return QString();
    return QStringLiteral("%1-%2-%3").arg(date.year()).arg(date.month()).arg(date.day());
}

} // namespace tavolin
