// CDlgPrintSettings: the "打印设置" dialog with its page-settings and report-information tabs.
#pragma once

#include "data/records.h"

#include <QDate>
#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QSpinBox;
class QTabWidget;

namespace tavolin {

class CDlgPrintSettings : public QDialog {
    Q_OBJECT
public:
    // `fileOpen`: a date picker writes its field only while a data file is open.
    CDlgPrintSettings(const PrintSettings& print, const ReportInfo& info, bool fileOpen,
                      QWidget* parent = nullptr);

    // The records as the dialog leaves them, to be stored whether it was accepted or not: a
    // check-box click and a date change store at once, and "取消" restores only the three
    // header, footer and page-number switches.
    const PrintSettings& printSettings() const { return print_; }
    const ReportInfo& reportInfo() const { return info_; }

    // A stored date text ("2009-5-6", "2009.5.6", "2009年5月6日"; only its first ten characters
    // count) as a date, `fallback` when it cannot be read.
    static QDate parseDate(const QString& text, const QDate& fallback);
    // Year, "-", month, "-", day, without leading zeros; empty for no date (the blank picker).
    static QString dateText(const QDate& date);

    QTabWidget* tabs() const { return tabs_; }

public slots:
    void accept() override;
    void reject() override;

private:
    QWidget* buildPagePage();
    QWidget* buildInfoPage();
    void loadPage();
    void loadInfo();
    // Stores the page-settings controls into `print_`; false (after the message) when a number
    // edit holds no integer.
    bool storePage();
    void storeInfo();
    void applyEnabling();
    void onSwitchClicked();
    void onDateChanged(QDateEdit* picker, std::u16string ReportInfo::*field);

    PrintSettings print_;
    ReportInfo info_;
    bool fileOpen_;
    int headerAtOpening_, footerAtOpening_, pageNumberAtOpening_;

    QTabWidget* tabs_ = nullptr;
    QCheckBox* header_ = nullptr;
    QCheckBox* footer_ = nullptr;
    QCheckBox* pageNumber_ = nullptr;
    QCheckBox* fieldRecord_ = nullptr;
    QCheckBox* resultTable_ = nullptr;
    QLineEdit* border_ = nullptr;
    QLineEdit* grid_ = nullptr;
    QSpinBox* marginTop_ = nullptr;
    QSpinBox* marginBottom_ = nullptr;
    QSpinBox* marginLeft_ = nullptr;
    QSpinBox* marginRight_ = nullptr;
    QComboBox* numberPosition_ = nullptr;
    QSpinBox* firstNumber_ = nullptr;
    QComboBox* numberFormat_ = nullptr;
    QSpinBox* headerHeight_ = nullptr;
    QComboBox* headerPosition_ = nullptr;
    QComboBox* headerFont_ = nullptr;
    QLineEdit* headerText_ = nullptr;
    QSpinBox* footerHeight_ = nullptr;
    QComboBox* footerPosition_ = nullptr;
    QComboBox* footerFont_ = nullptr;
    QLineEdit* footerText_ = nullptr;

    struct TextField {
        QLineEdit* edit;
        std::u16string ReportInfo::*field;
    };
    struct ComboField {
        QComboBox* combo;
        std::u16string ReportInfo::*field;
    };
    struct DateField {
        QDateEdit* picker;
        std::u16string ReportInfo::*field;
    };
    std::vector<TextField> texts_;
    std::vector<ComboField> combos_;
    std::vector<DateField> dates_;
};

} // namespace tavolin
