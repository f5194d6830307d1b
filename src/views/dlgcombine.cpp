// The merge dialog: a checked list of files, the merge itself and the output file.
#include "views/dlgcombine.h"

#include "data/merge.h"
#include "views/qtext.h"
#include "views/shellui.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tavolin {

CDlgcombine::CDlgcombine(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CDlgcombine"));
    setWindowTitle(QStringLiteral("合并"));

    auto* label = new QLabel(QStringLiteral("待合并文件"), this);
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("list1053"));
    list_->setColumnCount(1);
    list_->setHeaderLabels({QString()});
    list_->header()->setStretchLastSection(false);
    list_->setColumnWidth(0, 200);
    list_->setRootIsDecorated(false);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setUniformRowHeights(true);

    choose_ = new QPushButton(QStringLiteral("选择合并文件"), this);
    choose_->setObjectName(QStringLiteral("btn1052"));
    merge_ = new QPushButton(QStringLiteral("合并"), this);
    merge_->setObjectName(QStringLiteral("btn1055"));
    cancel_ = new QPushButton(QStringLiteral("取消"), this);
    cancel_->setObjectName(QStringLiteral("btn1056"));
    // No default button: Enter in the list must not start a merge by accident.
    for (QPushButton* b : {choose_, merge_, cancel_})
        b->setAutoDefault(false);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(choose_);
    buttons->addWidget(merge_);
    buttons->addStretch(1);
    buttons->addWidget(cancel_);
    auto* left = new QVBoxLayout;
    left->addWidget(label);
    left->addWidget(list_, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    resize(380, 260);

    connect(choose_, &QPushButton::clicked, this, &CDlgcombine::onChooseFiles);
    connect(merge_, &QPushButton::clicked, this, &CDlgcombine::onMerge);
    connect(cancel_, &QPushButton::clicked, this, &CDlgcombine::reject);
    connect(list_, &QTreeWidget::itemChanged, this, [this] { updateMergeButton(); });
    updateMergeButton();
}

int CDlgcombine::checkedCount() const {
    int n = 0;
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        if (list_->topLevelItem(i)->checkState(0) == Qt::Checked)
            ++n;
    return n;
}

void CDlgcombine::updateMergeButton() {
    merge_->setEnabled(checkedCount() > 0);
}

void CDlgcombine::addFiles(const QStringList& files) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    for (const QString& path : files) {
        paths_.append(path);
        auto* item = new QTreeWidgetItem(QStringList{QFileInfo(path).fileName()});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Checked);
        item->setToolTip(0, path);
        list_->addTopLevelItem(item);
    }
    QGuiApplication::restoreOverrideCursor();
    updateMergeButton();
}

void CDlgcombine::onChooseFiles() {
    const QStringList files = askOpenFiles(this, filterMergeInput);
    if (!files.isEmpty())
        addFiles(files);
}

void CDlgcombine::onMerge() {
    // Unchecked rows leave the merge and the list; rows and paths stay in step.
    for (int i = list_->topLevelItemCount() - 1; i >= 0; --i) {
        if (list_->topLevelItem(i)->checkState(0) != Qt::Checked) {
            paths_.removeAt(i);
            delete list_->takeTopLevelItem(i);
        }
    }
    if (checkedCount() == 0) {
        showMessage(this, QStringLiteral("至少选择一个文件合并"));
        updateMergeButton();
        return;
    }

    std::vector<std::string> inputs;
    for (const QString& p : paths_)
        inputs.push_back(pathFromQ(p));
    JobData merged;
    int read = 0;
    {
        ProgressScope progress(this, QStringLiteral("正在读取待合并文件..."));
        ReadOptions options = progress.options();
        // Each file that cannot be read is reported as it is met, one box per file; the merge
        // then goes on with the next one.
        options.notice = [this](const std::u16string& text) {
            QGuiApplication::restoreOverrideCursor();
            showMessage(this, toQ(text));
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        };
        read = MergeFiles(inputs, merged, options);
    }

    // Nothing could be read: there is nothing to write.
    if (read > 0) {
        const QString target = askSaveFile(this, filterResult, QString(), QStringLiteral("SHA"));
        if (!target.isEmpty()) {
            std::u16string error;
            {
                ProgressScope wait(this, QString());
                error = WriteResultFile(pathFromQ(target), merged);
            }
            if (!error.empty()) {
                showMessage(this, toQ(error));
            } else {
                list_->clear();
                paths_.clear();
            }
        }
    }
    updateMergeButton();
}

} // namespace tavolin
