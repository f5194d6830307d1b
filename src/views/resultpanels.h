// CSingleResult and CMulResult: the read-only result panels "单" and "多" of the analysis form.
#pragma once

#include "data/evaluation.h"

#include <QWidget>

class QFormLayout;

namespace tavolin {

class DisplayEdit;

// Fields (object and accessible names are their labels): "N", "Fmin(Mpa)", "Fmax(Mpa)",
// "Mf(Mpa)", "Sf(Mpa)", "Fcu(Mpa)", "超出曲线范围".
class CSingleResult : public QWidget {
    Q_OBJECT
public:
    explicit CSingleResult(QWidget* parent = nullptr);
    // N "%d", extremes and mean "%.1f", deviation "%.2f", the estimate by its status.
    void display(const MemberEvaluation& evaluation);
    // Areas outside the member's named curve ("超出曲线范围"); empty when it has none.
    void displayOutside(int count);
    void clear();

private:
    DisplayEdit* outside_ = nullptr;
    DisplayEdit* n_ = nullptr;
    DisplayEdit* fmin_ = nullptr;
    DisplayEdit* fmax_ = nullptr;
    DisplayEdit* mf_ = nullptr;
    DisplayEdit* sf_ = nullptr;
    DisplayEdit* fcu_ = nullptr;
};

// Fields: "强度换算平均值", "强度换算标准差", "强度推定值".
class CMulResult : public QWidget {
    Q_OBJECT
public:
    explicit CMulResult(QWidget* parent = nullptr);
    // Mean "%.1f", deviation "%.2f", the estimate by its status (the re-test rule of `standard`).
    void display(const BatchEvaluation& evaluation, int standard);
    void clear();
    // The batch of a one-member file means nothing: its fields are greyed.
    void setFieldsEnabled(bool enabled);

private:
    DisplayEdit* mean_ = nullptr;
    DisplayEdit* deviation_ = nullptr;
    DisplayEdit* estimate_ = nullptr;
};

} // namespace tavolin
