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

    // Fills every control from the document, or disables them all while no file is open.
    void refresh();
    // The opened-files list: selects a known path, else puts the file name first.
    void addOpenedFile(const QString& path);
    const QStringList& openedPaths() const { return paths_; }
    // v and va of the current area recomputed, then refresh.
    void updateAreaVelocities();
    // Writes a point velocity ("%.3f") into the field of point 0..2.
    void showPointVelocity(int point, float velocity);

    // Date text of a picker: year-month-day without leading zeros (2009-5-6).
    static QString dateText(const QDate& date);
    // Reads the first ten characters of a stored date ("2009-5-6", "2009.05.06", "2009年5月6日").
    static QDate parseDate(const QString& text);

signals:
    void openFileRequested(const QString& path);

private:
    void build();
    void setControlsEnabled(bool enabled);
    // The beta/lambda rule of the test method and position; sets BETA/LAMDA and the edits.
    void applyFactorRule(TestArea& area);
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
    QLineEdit* beta_ = nullptr;
    QLineEdit* lamda_ = nullptr;
    DisplayEdit* v_ = nullptr;
    DisplayEdit* va_ = nullptr;
    DisplayEdit* pointV_[3] = {};
    bool filling_ = false;
};

} // namespace tavolin
