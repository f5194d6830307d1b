// CorrectionTableDialog: what the three correction-table dialogs share (a grid of the selected
// standard's table, "确定", "取消", "默认值", and an edited copy of the tables).
#pragma once

#include "calc/correctiontables.h"

#include <QDialog>

class QPushButton;

namespace tavolin {

class TavolinGrid;

class CorrectionTableDialog : public QDialog {
    Q_OBJECT
public:
    // The tables as they were when the dialog opened, with the shown table as the user left
    // it ("默认值" and cell edits). Read it after "确定"; the caller applies it to the job.
    const CorrectionTables& tables() const { return tables_; }
    TavolinGrid* grid() const { return grid_; }
    QPushButton* defaultsButton() const { return defaults_; }
    int standard() const { return standard_; }

public slots:
    void accept() override;

protected:
    CorrectionTableDialog(const CorrectionTables& tables, int standard, const QString& title,
                          QWidget* parent);
    // Lays the shown table out in the grid from tables_ (also after "默认值").
    virtual void fill() = 0;
    // Reads the value cells back into tables_ through readCell.
    virtual void store() = 0;
    // Copies the shown table's default copy over its current copy in tables_.
    virtual void resetShown() = 0;

    // The value of a cell as typed: standard decimal parsing, 0 for text without a number and
    // for a text of 20 or more characters (which "确定" reports once).
    float readCell(int row, int column);
    // Shows `value` in a value cell ("%.1f").
    void setValueCell(int row, int column, float value);
    // Sizes the dialog to show the whole grid width and up to `rows` rows.
    void fitTo(int rows);

    const int standard_;
    CorrectionTables tables_;
    TavolinGrid* grid_;
    QPushButton* defaults_;

private:
    bool tooLong_ = false;
};

} // namespace tavolin
