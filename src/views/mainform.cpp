// CMainForm: every entry takes effect on the document at once; the form keeps only its controls
// and the paths of the files opened in this run.
#include "views/mainform.h"
#include "views/enterfilter.h"

#include "data/format.h"
#include "data/jobrules.h"
#include "data/labels.h"
#include "views/datepicker.h"
#include "views/displayedit.h"
#include "views/docbridge.h"
#include "views/shellui.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tavolin {

namespace {

template <size_t N> QStringList labelList(const std::array<std::u16string_view, N>& labels) {
    QStringList out;
    for (std::u16string_view label : labels)
        out << QString::fromUtf16(label.data(), static_cast<qsizetype>(label.size()));
    return out;
}

const QStringList kMethods = labelList(kMethodLabels);
const QStringList kSameSideFaces = labelList(kSameSidePositions);
const QStringList kOppositeFaces = labelList(kOppositePositions);
// The picker's value for "no readable date": shown blank.
const QDate kNoDate = DatePicker::noDate();

QString fixed(float value, int decimals) {
    return toQ(formatFixed(value, decimals));
}

// Shows a value without disturbing a user who is typing in the field: only a changed text is set.
void showText(QLineEdit* edit, const QString& text) {
    if (edit->text() == text)
        return;
    edit->setText(text);
    edit->setCursorPosition(0); // a long text shows its beginning
}

// Refills a list only when its entries differ, so a refresh keeps what the user is doing in it.
void showItems(QComboBox* combo, const QStringList& items) {
    bool same = combo->count() == items.size();
    for (int i = 0; same && i < items.size(); ++i)
        same = combo->itemText(i) == items[i];
    if (!same) {
        combo->clear();
        combo->addItems(items);
    }
}

} // namespace

CMainForm::CMainForm(DocBridge& bridge, QWidget* parent) : QWidget(parent), bridge_(bridge) {
    build();
    connect(&bridge_, &DocBridge::areaChangedQueued, this, &CMainForm::refresh);
    connect(&bridge_, &DocBridge::contentsReplacedQueued, this, &CMainForm::refresh);
    connect(&bridge_, &DocBridge::jobChangedQueued, this, [this](int member, int, unsigned) {
        if (member < 0 || member == bridge_.doc().currentMember())
            refresh();
    });
    refresh();
}

void CMainForm::build() {
    auto* layout = new QVBoxLayout(this);
    fileList_ = new QListWidget;
    fileList_->setObjectName("fileList");
    fileList_->setAccessibleName(QStringLiteral("文件列表"));
    fileList_->setMaximumHeight(100);
    layout->addWidget(fileList_);
    connect(fileList_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const int row = fileList_->row(item);
        if (row >= 0 && row < paths_.size())
            emit openFileRequested(paths_.at(row));
    });

    auto lineEdit = [](const char* name) {
        auto* e = new QLineEdit;
        e->setObjectName(name);
        return e;
    };
    auto display = [](const char* name) {
        auto* e = new DisplayEdit;
        e->setObjectName(name);
        return e;
    };
    auto dateEdit = [](const char* name) {
        // Blank until a file gives a date, rather than the picker's own default day.
        auto* e = new DatePicker;
        e->setObjectName(name);
        return e;
    };

    auto* project = new QGroupBox(QStringLiteral("工程信息"));
    auto* projectForm = new QFormLayout(project);
    site_ = lineEdit("editSite");
    unit_ = lineEdit("editUnit");
    person_ = lineEdit("editPerson");
    moldDate_ = dateEdit("dateMold");
    testDate_ = dateEdit("dateTest");
    projectForm->addRow(QStringLiteral("工程名称"), site_);
    projectForm->addRow(QStringLiteral("检测单位"), unit_);
    projectForm->addRow(QStringLiteral("检测人员"), person_);
    projectForm->addRow(QStringLiteral("浇注日期"), moldDate_);
    projectForm->addRow(QStringLiteral("检测日期"), testDate_);
    layout->addWidget(project);

    auto storeText = [this](QLineEdit* edit, ProjectField field) {
        connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) {
            bridge_.edit().setProjectText(field, fromQ(text));
        });
    };
    storeText(site_, ProjectField::Site);
    storeText(unit_, ProjectField::Unit);
    storeText(person_, ProjectField::Person);
    connect(moldDate_, &QDateEdit::dateChanged, this,
            [this](const QDate& d) { dateEdited(true, d); });
    connect(testDate_, &QDateEdit::dateChanged, this,
            [this](const QDate& d) { dateEdited(false, d); });

    auto* field = new QGroupBox(QStringLiteral("现场测试信息"));
    auto* fieldForm = new QFormLayout(field);
    member_ = makeMemberBox(this, [this] { renameMember(); });
    member_->setObjectName("comboMember");
    area_ = new QComboBox;
    area_->setObjectName("comboArea");
    method_ = new QComboBox;
    method_->setObjectName("comboMethod");
    method_->addItems(kMethods);
    location_ = new QComboBox;
    location_->setObjectName("comboLocation");
    beta_ = new DisplayEdit(nullptr, false);
    beta_->setObjectName("editBeta");
    lamda_ = lineEdit("editLamda");
    fieldForm->addRow(QStringLiteral("构件名称"), member_);
    fieldForm->addRow(QStringLiteral("测区编号"), area_);
    fieldForm->addRow(QStringLiteral("测试方式"), method_);
    fieldForm->addRow(QStringLiteral("测试位置"), location_);
    fieldForm->addRow(QStringLiteral("β修正值"), beta_);
    fieldForm->addRow(QStringLiteral("λ修正值"), lamda_);
    layout->addWidget(field);

    connect(member_, &QComboBox::activated, this,
            [this](int index) { bridge_.edit().setCurrentMember(index); });
    connect(area_, &QComboBox::activated, this,
            [this](int index) { bridge_.edit().setCurrentArea(index); });
    connect(method_, &QComboBox::activated, this, &CMainForm::methodChosen);
    connect(location_, &QComboBox::activated, this, &CMainForm::locationChosen);
    connect(beta_, &QLineEdit::returnPressed, this, [this] { factorEntered(true); });
    connect(lamda_, &QLineEdit::returnPressed, this, [this] { factorEntered(false); });

    auto* values = new QGroupBox(QStringLiteral("检测值"));
    auto* valuesForm = new QFormLayout(values);
    v_ = display("editV");
    va_ = display("editVa");
    valuesForm->addRow(QStringLiteral("V:(km/s)"), v_);
    valuesForm->addRow(QStringLiteral("Va(km/s)"), va_);
    const char* names[3] = {"editV1", "editV2", "editV3"};
    for (int j = 0; j < 3; ++j) {
        pointV_[j] = display(names[j]);
        valuesForm->addRow(QStringLiteral("V%1(km/s)").arg(j + 1), pointV_[j]);
    }
    layout->addWidget(values);
    layout->addStretch(1);
}

void CMainForm::setControlsEnabled(bool enabled) {
    // The opened-files list stays usable: after "新建" it is the quickest way back to a job.
    for (QWidget* w : std::initializer_list<QWidget*>{
             site_, unit_, person_, moldDate_, testDate_, member_, area_, method_, location_, beta_,
             lamda_, v_, va_, pointV_[0], pointV_[1], pointV_[2]})
        w->setEnabled(enabled);
}

void CMainForm::refresh() {
    const CTavolinDoc& doc = bridge_.doc();
    filling_ = true;
    if (!doc.isOpen()) {
        setControlsEnabled(false);
        filling_ = false;
        return;
    }
    setControlsEnabled(true);
    const ProjectInfo& p = doc.project();
    showText(site_, toQ(p.SITE));
    showText(unit_, toQ(p.UNIT));
    showText(person_, toQ(p.PERSON));
    setDate(moldDate_, p.Molddate);
    setDate(testDate_, p.DATE);

    QStringList names;
    for (const MemberInfo& m : doc.members())
        names << toQ(m.PILEID);
    showItems(member_, names);
    if (member_->currentIndex() != doc.currentMember() ||
        member_->currentText() != names.value(doc.currentMember())) {
        member_->setCurrentIndex(doc.currentMember());
        member_->lineEdit()->setCursorPosition(0);
    }
    QStringList areas;
    if (doc.member(doc.currentMember()))
        for (const TestArea& a : doc.areasOf(doc.currentMember()))
            areas << toQ(formatInt(a.RATNO));
    showItems(area_, areas);
    area_->setCurrentIndex(doc.currentAreaIndex());

    const TestArea* area = doc.currentArea();
    // A member without test areas: the project and the member choice stay usable, so the user
    // can move on to another member; the area's own controls show nothing.
    if (!area) {
        for (QWidget* w :
             std::initializer_list<QWidget*>{area_, method_, location_, beta_, lamda_, v_, va_,
                                             pointV_[0], pointV_[1], pointV_[2]})
            w->setEnabled(false);
        for (QLineEdit* e : std::initializer_list<QLineEdit*>{beta_, lamda_, v_, va_, pointV_[0],
                                                              pointV_[1], pointV_[2]})
            e->clear();
        area_->setCurrentIndex(-1);
        method_->setCurrentIndex(-1);
        location_->clear();
        filling_ = false;
        return;
    }

    method_->setCurrentIndex(area->TMETHOD >= 0 && area->TMETHOD <= 2 ? area->TMETHOD : -1);
    fillLocationList(*area);
    showFactors(*area);
    v_->setText(fixed(area->velocity, 3));
    va_->setText(fixed(area->correctedVelocity, 3));
    for (int j = 0; j < 3; ++j)
        pointV_[j]->setText(fixed(area->pointVelocity[j], 3));
    filling_ = false;
}

void CMainForm::addOpenedFile(const QString& path) {
    const int known = paths_.indexOf(path);
    if (known >= 0) {
        fileList_->setCurrentRow(known);
        return;
    }
    const qsizetype cut = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
    auto* item = new QListWidgetItem(path.mid(cut + 1));
    item->setToolTip(path);
    fileList_->insertItem(0, item);
    paths_.prepend(path);
    fileList_->setCurrentRow(0);
}

void CMainForm::fillLocationList(const TestArea& area) {
    const QString loc = toQ(area.TESTLOC);
    location_->clear();
    if (area.TMETHOD == MethodOpposite) {
        location_->addItems(kOppositeFaces);
        location_->setCurrentIndex(loc == kOppositeFaces[1] ? 1 : 0);
    } else {
        location_->addItems(kSameSideFaces);
        location_->setCurrentIndex(std::max<int>(0, kSameSideFaces.indexOf(loc)));
    }
}

void CMainForm::showFactors(const TestArea& area) {
    // The document applies the rule; the form only shows which factor is the user's to type.
    const FactorRule rule = factorRuleOf(area.TMETHOD, area.TESTLOC);
    const bool corner = area.TMETHOD == MethodCorner;
    location_->setEnabled(!corner);
    beta_->setEnabled(!corner);
    beta_->setDisplayOnly(rule.beta.has_value());
    // Lambda is fixed in corner and opposite tests: the field is then switched off.
    lamda_->setEnabled(!rule.lamda);
    beta_->setText(fixed(area.BETA, 3));
    lamda_->setText(fixed(area.LAMDA, 3));
}

void CMainForm::methodChosen(int index) {
    const CTavolinDoc& doc = bridge_.doc();
    bridge_.edit().setMethod(doc.currentMember(), doc.currentAreaIndex(), index);
    refresh();
}

void CMainForm::locationChosen(int index) {
    const CTavolinDoc& doc = bridge_.doc();
    if (index < 0)
        return;
    bridge_.edit().setPosition(doc.currentMember(), doc.currentAreaIndex(),
                               fromQ(location_->itemText(index)));
    refresh();
}

void CMainForm::factorEntered(bool beta) {
    const CTavolinDoc& doc = bridge_.doc();
    DocEditor& editor = bridge_.edit();
    QLineEdit* edit = beta ? static_cast<QLineEdit*>(beta_) : lamda_;
    const TestArea* area = doc.currentArea();
    if (!area || edit->isReadOnly() || !edit->isEnabled())
        return;
    // Enter on the shown text is no edit: the display's rounding must not reach the job.
    if (edit->text() == fixed(beta ? area->BETA : area->LAMDA, 3))
        return;
    const std::u16string text = fromQ(edit->text());
    const int m = doc.currentMember(), a = doc.currentAreaIndex();
    const std::u16string message =
        beta ? editor.enterBeta(m, a, text) : editor.enterLambda(m, a, text);
    if (!message.empty())
        showMessage(this, toQ(message));
    refresh();
}

void CMainForm::renameMember() {
    const CTavolinDoc& doc = bridge_.doc();
    const int index = doc.currentMember();
    if (!doc.member(index))
        return;
    const QString name = member_->lineEdit()->text();
    bridge_.edit().renameMember(index, fromQ(name));
    member_->setItemText(index, name);
    member_->setCurrentIndex(index);
}

QString CMainForm::dateText(const QDate& date) {
    if (!date.isValid())
        return QStringLiteral("-1--1--1");
    return QStringLiteral("%1-%2-%3").arg(date.year()).arg(date.month()).arg(date.day());
}

QDate CMainForm::parseDate(const QString& text) {
    static const QRegularExpression parts(
        QStringLiteral("^\\s*(\\d{1,4})\\D+(\\d{1,2})\\D+(\\d{1,2})"));
    const QRegularExpressionMatch m = parts.match(text.left(10));
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

void CMainForm::setDate(QDateEdit* edit, const std::u16string& text) {
    const QDate date = parseDate(toQ(text));
    edit->setDate(date.isValid() && date > kNoDate ? date : kNoDate);
}

void CMainForm::dateEdited(bool mold, const QDate& date) {
    const CTavolinDoc& doc = bridge_.doc();
    if (filling_ || !doc.isOpen())
        return;
    // The blank value stands for "no date" and clears the text.
    const std::u16string text = date == kNoDate ? std::u16string() : fromQ(dateText(date));
    bridge_.edit().setProjectText(mold ? ProjectField::MoldDate : ProjectField::TestDate, text);
}

void CMainForm::hideEvent(QHideEvent* event) {
    // Qt would move the focus to the next field in the window (of another bar), where keys
    // typed next would edit a value the user is not looking at.
    if (QWidget* focused = QApplication::focusWidget(); focused && isAncestorOf(focused))
        focused->clearFocus();
    QWidget::hideEvent(event);
}

} // namespace tavolin
