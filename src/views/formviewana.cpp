// FormviewAna: every choice and entry goes through an operation of the document, which applies
// the rules, recomputes and evaluates; the form shows what the document holds.
#include "views/formviewana.h"
#include "views/enterfilter.h"

#include "data/doc.h"
#include "data/format.h"
#include "data/labels.h"
#include "views/datepicker.h"
#include "views/docbridge.h"
#include "views/mainform.h"
#include "views/resultpanels.h"
#include "views/shellui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace tavolin {

namespace {

QString fixed(float value, int decimals) {
    return toQ(formatFixed(value, decimals));
}

template <class W> W* named(W* w, const QString& label) {
    w->setObjectName(label);
    w->setAccessibleName(label);
    return w;
}

} // namespace

FormviewAna::FormviewAna(DocBridge& bridge, QWidget* parent) : QWidget(parent), bridge_(bridge) {
    setObjectName(QStringLiteral("FormviewAna"));
    build();
    // Every edit of the job ends in a fresh evaluation in the document; the panels follow it.
    connect(&bridge_, &DocBridge::jobChangedQueued, this, [this](int, int, unsigned fields) {
        if (fields & ChangeEvaluation)
            postEvaluate();
    });
    // Another surface may have chosen another member.
    connect(&bridge_, &DocBridge::areaChangedQueued, this, [this] {
        const CTavolinDoc& doc = bridge_.doc();
        if (doc.isOpen() && member_->currentIndex() != doc.currentMember()) {
            filling_ = true;
            member_->setCurrentIndex(doc.currentMember());
            filling_ = false;
            showMemberSettings();
            postEvaluate();
        }
    });
    setInputsEnabled(false);
}

void FormviewAna::build() {
    // Compact rows: at 1366 x 768 the member's estimate must be in view without scrolling.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(3);
    auto compact = [](QFormLayout* form) {
        form->setContentsMargins(6, 2, 6, 4);
        form->setVerticalSpacing(3);
        return form;
    };

    auto* project = new QGroupBox(QStringLiteral("工程信息"));
    auto* projectForm = compact(new QFormLayout(project));
    auto addRow = [](QFormLayout* form, const QString& label, QWidget* w) {
        form->addRow(label, named(w, label));
    };
    site_ = new QLineEdit;
    unit_ = new QLineEdit;
    person_ = new QLineEdit;
    addRow(projectForm, QStringLiteral("工程名称"), site_);
    addRow(projectForm, QStringLiteral("检测单位"), unit_);
    addRow(projectForm, QStringLiteral("检测人员"), person_);
    moldDate_ = new DatePicker;
    testDate_ = new DatePicker;
    addRow(projectForm, QStringLiteral("浇注日期"), moldDate_);
    addRow(projectForm, QStringLiteral("检测日期"), testDate_);
    layout->addWidget(project);

    auto* checks = new QHBoxLayout;
    pumped_ = named(new QCheckBox(QStringLiteral("泵送")), QStringLiteral("泵送"));
    lock_ = named(new QCheckBox(QStringLiteral("锁定工程信息")), QStringLiteral("锁定工程信息"));
    checks->addWidget(pumped_);
    checks->addWidget(lock_);
    checks->addStretch(1);
    layout->addLayout(checks);

    auto* memberBox = new QGroupBox;
    auto* memberLayout = new QVBoxLayout(memberBox);
    memberLayout->setContentsMargins(0, 0, 0, 0);
    memberLayout->setSpacing(0);
    // The selectors under their own short labels, so that "CECS 02:2005" and "TB10426-2004"
    // keep their full width beside them; the coefficients below have the long label of η.
    auto* memberForm = compact(new QFormLayout);
    auto* coefficientForm = compact(new QFormLayout);
    memberForm->setRowWrapPolicy(QFormLayout::WrapLongRows);
    memberLayout->addLayout(memberForm);
    memberLayout->addLayout(coefficientForm);
    member_ = makeMemberBox(this, [this] { renameMember(); });
    standard_ = new QComboBox;
    for (int i = 0; i < static_cast<int>(kStandardLabels.size()); ++i)
        standard_->addItem(toQ(standardLabel(i)));
    curve_ = new QComboBox;
    for (int i = 0; i < static_cast<int>(kCurveLabels.size()); ++i)
        curve_->addItem(toQ(curveLabel(i)));
    a_ = new QLineEdit;
    b_ = new QLineEdit;
    c_ = new QLineEdit;
    eta_ = new QLineEdit;
    // Long member names must not widen the form past its bar: the boxes take the bar's width.
    for (QComboBox* c : {member_, standard_, curve_}) {
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(4);
    }
    // A standard's name is never cut: the box is at least as wide as the longer one.
    standard_->setMinimumContentsLength(
        std::max(standard_->itemText(0).size(), standard_->itemText(1).size()));
    addRow(memberForm, QStringLiteral("构件名称"), member_);
    member_->lineEdit()->setAccessibleName(QStringLiteral("构件名称"));
    addRow(memberForm, QStringLiteral("规范选择"), standard_);
    addRow(memberForm, QStringLiteral("粗骨料"), curve_);
    addRow(coefficientForm, QStringLiteral("系数a"), a_);
    addRow(coefficientForm, QStringLiteral("系数b"), b_);
    addRow(coefficientForm, QStringLiteral("系数c"), c_);
    addRow(coefficientForm, QStringLiteral("强度修正系数η"), eta_);
    layout->addWidget(memberBox);

    tabs_ = new QTabBar;
    tabs_->setObjectName(QStringLiteral("resultTabs"));
    tabs_->setAccessibleName(QStringLiteral("计算结果"));
    tabs_->addTab(QStringLiteral("单"));
    tabs_->addTab(QStringLiteral("多"));
    tabs_->setExpanding(false);
    layout->addWidget(tabs_);
    auto* resultFrame = new QGroupBox;
    auto* resultLayout = new QVBoxLayout(resultFrame);
    resultLayout->setContentsMargins(0, 0, 0, 0);
    panels_ = new QStackedWidget;
    single_ = new CSingleResult;
    multiple_ = new CMulResult;
    panels_->addWidget(single_);
    panels_->addWidget(multiple_);
    resultLayout->addWidget(panels_);
    layout->addWidget(resultFrame);
    layout->addStretch(1);

    connect(site_, &QLineEdit::textEdited, this,
            [this](const QString& t) { projectTextEdited(ProjectField::Site, t); });
    connect(unit_, &QLineEdit::textEdited, this,
            [this](const QString& t) { projectTextEdited(ProjectField::Unit, t); });
    connect(person_, &QLineEdit::textEdited, this,
            [this](const QString& t) { projectTextEdited(ProjectField::Person, t); });
    connect(moldDate_, &QDateEdit::dateChanged, this,
            [this](const QDate& d) { dateEdited(true, d); });
    connect(testDate_, &QDateEdit::dateChanged, this,
            [this](const QDate& d) { dateEdited(false, d); });
    // The dates are project information too: a locked form keeps them as they are.
    connect(lock_, &QCheckBox::toggled, this, [this](bool locked) {
        for (QWidget* w : projectFields())
            w->setEnabled(!locked && bridge_.doc().isOpen());
    });
    connect(pumped_, &QCheckBox::clicked, this, &FormviewAna::pumpedClicked);
    connect(member_, &QComboBox::activated, this, &FormviewAna::memberChosen);
    connect(standard_, &QComboBox::activated, this, &FormviewAna::standardChosen);
    connect(curve_, &QComboBox::activated, this, &FormviewAna::curveChosen);
    connect(eta_, &QLineEdit::returnPressed, this, [this] { numberEntered(Number::Eta); });
    connect(a_, &QLineEdit::returnPressed, this, [this] { numberEntered(Number::A); });
    connect(b_, &QLineEdit::returnPressed, this, [this] { numberEntered(Number::B); });
    connect(c_, &QLineEdit::returnPressed, this, [this] { numberEntered(Number::C); });
    connect(tabs_, &QTabBar::currentChanged, this, &FormviewAna::tabChosen);
}

void FormviewAna::setInputsEnabled(bool enabled) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{lock_, member_, standard_, curve_, eta_, tabs_})
        w->setEnabled(enabled);
    for (QWidget* w : projectFields())
        w->setEnabled(enabled && !lock_->isChecked());
    if (!enabled)
        for (QWidget* w : std::initializer_list<QWidget*>{pumped_, a_, b_, c_})
            w->setEnabled(false);
}

std::array<QWidget*, 5> FormviewAna::projectFields() const {
    return {site_, unit_, person_, moldDate_, testDate_};
}

void FormviewAna::refresh() {
    const CTavolinDoc& doc = bridge_.doc();
    if (!doc.isOpen())
        return;
    filling_ = true;
    setInputsEnabled(true);
    const ProjectInfo& p = doc.project();
    // A long text shows its beginning, not the end that setText leaves in view.
    for (const auto& [edit, value] :
         {std::pair{site_, &p.SITE}, std::pair{unit_, &p.UNIT}, std::pair{person_, &p.PERSON}}) {
        edit->setText(toQ(*value));
        edit->setCursorPosition(0);
    }
    setDate(moldDate_, p.Molddate);
    setDate(testDate_, p.DATE);

    member_->clear();
    QStringList names;
    names.reserve(static_cast<qsizetype>(doc.members().size()));
    for (const MemberInfo& m : doc.members())
        names.append(toQ(m.PILEID));
    member_->addItems(names);
    member_->setCurrentIndex(doc.currentMember());
    member_->lineEdit()->setCursorPosition(0);
    standard_->setCurrentIndex(doc.standard() >= 0 &&
                                       doc.standard() < static_cast<int>(kStandardLabels.size())
                                   ? doc.standard()
                                   : -1);
    showMemberSettings();

    multiple_->setFieldsEnabled(doc.memberCount() >= 2);
    filling_ = false;
    selectTab(0);
    evaluate();
}

void FormviewAna::showMemberSettings() {
    const CTavolinDoc& doc = bridge_.doc();
    const int m = doc.currentMember();
    if (!doc.isOpen() || m < 0 || m >= static_cast<int>(doc.members().size()))
        return;
    const MemberInfo& info = doc.members()[m];
    const bool wasFilling = filling_;
    filling_ = true;
    curve_->setCurrentIndex(
        info.curve >= 0 && info.curve < static_cast<int>(kCurveLabels.size()) ? info.curve : -1);
    showCoefficients();
    eta_->setText(fixed(doc.project().ETA, 2));
    pumped_->setChecked(info.pumped != 0);
    pumped_->setEnabled(doc.standard() != 0);
    filling_ = wasFilling;
}

void FormviewAna::showCoefficients() {
    const CTavolinDoc& doc = bridge_.doc();
    const MemberInfo& info = doc.members()[doc.currentMember()];
    a_->setText(fixed(info.A, 4));
    b_->setText(fixed(info.B, 3));
    c_->setText(fixed(info.C, 3));
    for (QLineEdit* e : {a_, b_, c_}) {
        e->setEnabled(info.curve == CurveCustom);
        e->setCursorPosition(0);
    }
}

void FormviewAna::postEvaluate() {
    if (evaluatePending_)
        return;
    evaluatePending_ = true;
    QMetaObject::invokeMethod(this, &FormviewAna::evaluate, Qt::QueuedConnection);
}

void FormviewAna::evaluate() {
    evaluatePending_ = false;
    const CTavolinDoc& doc = bridge_.doc();
    if (!doc.isOpen())
        return;
    const JobEvaluation& evaluation = doc.evaluation();
    const int m = doc.currentMember();
    if (m >= 0 && m < static_cast<int>(evaluation.members.size()))
        single_->display(evaluation.members[m]);
    else
        single_->clear();
    multiple_->display(evaluation.batch, doc.standard());
}

void FormviewAna::memberChosen(int index) {
    CTavolinDoc& doc = bridge_.doc();
    if (filling_ || !doc.isOpen() || index < 0 || index >= doc.memberCount())
        return;
    // The document moves to the member's first area and point, and the table and the waveform
    // view follow its notice; a named curve already carries the current standard's defaults.
    doc.setCurrentMember(index);
    showMemberSettings();
    member_->lineEdit()->setCursorPosition(0);
    postEvaluate();
}

void FormviewAna::standardChosen(int index) {
    CTavolinDoc& doc = bridge_.doc();
    if (filling_ || !doc.isOpen() || index < 0)
        return;
    doc.setStandard(index);
    showMemberSettings();
    postEvaluate();
}

void FormviewAna::curveChosen(int index) {
    CTavolinDoc& doc = bridge_.doc();
    if (filling_ || !doc.isOpen() || index < 0)
        return;
    tell(doc.setCurve(doc.currentMember(), index));
    showCoefficients();
    postEvaluate();
}

void FormviewAna::numberEntered(Number which) {
    CTavolinDoc& doc = bridge_.doc();
    if (!doc.isOpen())
        return;
    QLineEdit* edit = which == Number::Eta ? eta_
                      : which == Number::A ? a_
                      : which == Number::B ? b_
                                           : c_;
    if (!edit->isEnabled())
        return;
    const int m = doc.currentMember();
    if (which == Number::Eta) {
        tell(doc.enterEta(fromQ(edit->text())));
        edit->setText(fixed(doc.project().ETA, 2));
    } else {
        const int slot = which == Number::A ? 0 : which == Number::B ? 1 : 2;
        tell(doc.enterCoefficient(m, slot, fromQ(edit->text())));
        const MemberInfo* stored = doc.member(m);
        if (!stored)
            return;
        const float shown[3] = {stored->A, stored->B, stored->C};
        // Shown back at the entry's own precision, which is not the one of the initial display.
        edit->setText(fixed(shown[slot], slot == 0 ? 3 : 2));
        edit->setCursorPosition(0);
    }
    postEvaluate();
}

void FormviewAna::pumpedClicked(bool checked) {
    CTavolinDoc& doc = bridge_.doc();
    if (!doc.isOpen())
        return;
    tell(doc.setPumped(doc.currentMember(), checked));
    postEvaluate();
}

void FormviewAna::renameMember() {
    CTavolinDoc& doc = bridge_.doc();
    const int m = doc.currentMember();
    if (!doc.isOpen() || m < 0 || m >= doc.memberCount())
        return;
    const QString name = member_->lineEdit()->text();
    tell(doc.renameMember(m, fromQ(name)));
    // The entry keeps its position, so list positions stay equal to member indexes.
    member_->setItemText(m, toQ(doc.members()[m].PILEID));
    member_->setCurrentIndex(m);
}

void FormviewAna::selectTab(int index) {
    const QSignalBlocker block(tabs_);
    tabs_->setCurrentIndex(index);
    panels_->setCurrentIndex(index);
}

void FormviewAna::tabChosen(int index) {
    const CTavolinDoc& doc = bridge_.doc();
    if (index == 1 && doc.isOpen()) {
        if (doc.memberCount() == 1) {
            selectTab(0);
            showMessage(this, QStringLiteral("当前文件只有一个构件！"));
            return;
        }
        if (doc.evaluation().batch.status == RetestMembers) {
            selectTab(0);
            showMessage(this, toQ(retestRuleText(doc.standard())));
            return;
        }
    }
    panels_->setCurrentIndex(index);
}

void FormviewAna::tell(const std::u16string& message) {
    if (!message.empty())
        showMessage(this, toQ(message));
}

void FormviewAna::projectTextEdited(ProjectField field, const QString& text) {
    CTavolinDoc& doc = bridge_.doc();
    if (filling_ || !doc.isOpen())
        return;
    tell(doc.setProjectText(field, fromQ(text)));
}

void FormviewAna::setDate(QDateEdit* edit, const std::u16string& text) {
    const QDate date = CMainForm::parseDate(toQ(text));
    edit->setDate(date.isValid() && date > DatePicker::noDate() ? date : DatePicker::noDate());
}

void FormviewAna::dateEdited(bool mold, const QDate& date) {
    CTavolinDoc& doc = bridge_.doc();
    if (filling_ || !doc.isOpen())
        return;
    // The blank value stands for "no date" and clears the text.
    const std::u16string text =
        date == DatePicker::noDate() ? std::u16string() : fromQ(CMainForm::dateText(date));
    tell(doc.setProjectText(mold ? ProjectField::MoldDate : ProjectField::TestDate, text));
}

} // namespace tavolin
