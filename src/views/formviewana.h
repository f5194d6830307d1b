// FormviewAna: the evaluation form in the bar "分析输出信息栏": project information, member,
// standard and strength curve selectors, and the result panels "单" and "多".
#pragma once

#include <QWidget>

#include <array>
#include <string>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QStackedWidget;
class QTabBar;

namespace tavolin {

class CMulResult;
class CSingleResult;
class DocBridge;
enum class ProjectField;

// Every control's object and accessible name is its label: "工程名称", "检测单位", "检测人员",
// "浇注日期", "检测日期", "泵送", "锁定工程信息", "构件名称", "规范选择", "粗骨料", "系数a",
// "系数b", "系数c", "强度修正系数η"; the tab bar is "resultTabs" with the tabs "单" and "多".
class FormviewAna : public QWidget {
    Q_OBJECT
public:
    explicit FormviewAna(DocBridge& bridge, QWidget* parent = nullptr);

    // The initial update, run on every entry into the analysis screen for the open file: fills
    // every control from the document, shows the panel "单" and queues an evaluation.
    void refresh();
    // UM_EVALUATE: queues one refresh of the panels from the document's evaluation; requests
    // made before it has run are served by the same refresh.
    void postEvaluate();

    CSingleResult* singleResult() const { return single_; }
    CMulResult* mulResult() const { return multiple_; }

private:
    enum class Number { Eta, A, B, C };

    void build();
    void setInputsEnabled(bool enabled);
    // The fields that "锁定工程信息" locks: three texts and the two dates.
    std::array<QWidget*, 5> projectFields() const;
    void evaluate(); // handler of UM_EVALUATE
    // Curve, a, b, c (with their enabled state), η and "泵送" of the current member.
    void showMemberSettings();
    void showCoefficients();
    void memberChosen(int index);
    void standardChosen(int index);
    void curveChosen(int index);
    void numberEntered(Number which);
    void pumpedClicked(bool checked);
    void renameMember();
    void tabChosen(int index);
    void selectTab(int index);
    void projectTextEdited(ProjectField field, const QString& text);
    // Shows the message an operation of the document returned, if any.
    void tell(const std::u16string& message);
    void dateEdited(bool mold, const QDate& date);
    void setDate(QDateEdit* edit, const std::u16string& text);

    DocBridge& bridge_;
    QLineEdit* site_ = nullptr;
    QLineEdit* unit_ = nullptr;
    QLineEdit* person_ = nullptr;
    QDateEdit* moldDate_ = nullptr;
    QDateEdit* testDate_ = nullptr;
    QCheckBox* pumped_ = nullptr;
    QCheckBox* lock_ = nullptr;
    QComboBox* member_ = nullptr;
    QComboBox* standard_ = nullptr;
    QComboBox* curve_ = nullptr;
    QLineEdit* a_ = nullptr;
    QLineEdit* b_ = nullptr;
    QLineEdit* c_ = nullptr;
    QLineEdit* eta_ = nullptr;
    QTabBar* tabs_ = nullptr;
    QStackedWidget* panels_ = nullptr;
    CSingleResult* single_ = nullptr;
    CMulResult* multiple_ = nullptr;
    bool filling_ = false;
    bool evaluatePending_ = false;
};

} // namespace tavolin
