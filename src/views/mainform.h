// CMainForm: project information, member and area choice, test method/position with beta and
// lambda, and the velocities of the current area (the "工程信息栏" form of the main screen).
#pragma once

#include <QStringList>
#include <QWidget>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QListWidget;
class QGroupBox;

namespace tavolin {

class DocBridge;
class DisplayEdit;
struct TestArea;

// Child object names (for the frame and the tests): "fileList", "editSite", "editUnit",
// "editPerson", "dateMold", "dateTest", "comboMember", "comboArea", "comboMethod",
// "comboLocation", "editBeta", "editLamda", "editV", "editVa", "editV1", "editV2", "editV3".
class CMainForm : public QWidget {
    Q_OBJECT
public:
    explicit CMainForm(DocBridge& bridge, QWidget* parent = nullptr);

    // Fills every control from the document, or disables them all while no file is open. Every
    // entry is an operation of the document; the form shows back what the document holds.
    void refresh();
    // The opened-files list: selects a known path, else puts the file name first.
    void addOpenedFile(const QString& path);
    const QStringList& openedPaths() const { return paths_; }

    // Date text of a picker: year-month-day without leading zeros (2009-5-6).
    static QString dateText(const QDate& date);
    // Reads the first ten characters of a stored date ("2009-5-6", "2009.05.06", "2009年5月6日").
    static QDate parseDate(const QString& text);

signals:
    void openFileRequested(const QString& path);

protected:
    // A hidden bar hands the focus of its fields to no other field.
    void hideEvent(QHideEvent* event) override;

private:
    void build();
    void setControlsEnabled(bool enabled);
    // Beta and lambda of the area, each as an entry field or read-only as the rule decides.
    void showFactors(const TestArea& area);
    void fillLocationList(const TestArea& area);
    void methodChosen(int index);
    void locationChosen(int index);
    void factorEntered(bool beta);
    void renameMember();
    void dateEdited(bool mold, const QDate& date);
    void setDate(QDateEdit* edit, const std::u16string& text);

    DocBridge& bridge_;
    QStringList paths_;
    QListWidget* fileList_ = nullptr;
    QLineEdit* site_ = nullptr;
    QLineEdit* unit_ = nullptr;
    QLineEdit* person_ = nullptr;
    QDateEdit* moldDate_ = nullptr;
    QDateEdit* testDate_ = nullptr;
    QComboBox* member_ = nullptr;
    QComboBox* area_ = nullptr;
    QComboBox* method_ = nullptr;
    QComboBox* location_ = nullptr;
    DisplayEdit* beta_ = nullptr;
    QLineEdit* lamda_ = nullptr;
    DisplayEdit* v_ = nullptr;
    DisplayEdit* va_ = nullptr;
    DisplayEdit* pointV_[3] = {};
    bool filling_ = false;
};

} // namespace tavolin
