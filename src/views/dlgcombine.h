// CDlgcombine: the "合并" dialog that merges chosen data files into one new result file.
#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tavolin {

class CDlgcombine : public QDialog {
    Q_OBJECT
public:
    explicit CDlgcombine(QWidget* parent = nullptr);

    const QStringList& paths() const { return paths_; }
    QTreeWidget* list() const { return list_; }
    QPushButton* chooseButton() const { return choose_; }
    QPushButton* mergeButton() const { return merge_; }

    // Appends files as if chosen in the file dialog (each row checked).
    void addFiles(const QStringList& files);

public slots:
    void onChooseFiles();
    void onMerge();

private:
    void updateMergeButton();
    int checkedCount() const;

    QStringList paths_; // row i shows the file name of paths_[i]
    QTreeWidget* list_;
    QPushButton* choose_;
    QPushButton* merge_;
    QPushButton* cancel_;
};

} // namespace tavolin
