#include "filelistdialog.h"

#include "engine/selection.h"
#include "ui/uiutil.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {

// The output stem travels with its path in the item, so the two can never drift apart.
constexpr int StemRole = Qt::UserRole + 1;

} // namespace

FileListDialog::FileListDialog(Selection &selection, ui::MessageFunction showMessage,
                               QWidget *parent)
    : QDialog(parent)
    , m_selection(selection)
    , m_showMessage(std::move(showMessage))
{
    setObjectName(QStringLiteral("frmFile"));
    setWindowTitle(QStringLiteral("選択ファイルリスト"));
    setModal(true);
    // The same face and size as the main window, so the instruction fits on its line.
    QFont face(QStringLiteral("ＭＳ Ｐゴシック"));
    face.setPointSizeF(8.25);
    setFont(face);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ui::colorFromCode(ui::WindowGrey));
    setPalette(pal);
    setAutoFillBackground(true);

    auto *label = new QLabel(
        QStringLiteral("選択を解除したいファイルにチェックを入れて削除ボタンを押してね"), this);
    label->setObjectName(QStringLiteral("Label2"));
    label->setGeometry(ui::twips(180), ui::twips(180), ui::twips(5160), ui::twips(420));

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setGeometry(ui::twips(135), ui::twips(600), ui::twips(6075), ui::twips(3120));

    auto *del = new QPushButton(QStringLiteral("削除"), this);
    del->setObjectName(QStringLiteral("cmdDel"));
    del->setGeometry(ui::twips(5400), ui::twips(60), ui::twips(735), ui::twips(435));
    connect(del, &QPushButton::clicked, this, &FileListDialog::cmdDel_Click);

    auto *close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setObjectName(QStringLiteral("cmdCancel"));
    close->setToolTip(QStringLiteral("閉じる"));
    close->setGeometry(ui::twips(2475), ui::twips(3840), ui::twips(1395), ui::twips(435));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    setFixedSize(ui::twips(6345), ui::twips(4425));
    ui::setTopmost(this, true);
    ui::pressButtonsOnReturn(this);

    for (int i = 0; i < m_selection.selectedCount(); ++i) {
        const Selection::Item &entry = m_selection.items()[i];
        auto *item = new QListWidgetItem(entry.path, m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setData(StemRole, entry.stem);
        item->setToolTip(entry.path);
    }
    clearCurrentItem();
    // Ticking an item's box makes it current, as clicking it does: the user has chosen it.
    connect(m_list, &QListWidget::itemChanged, m_list,
            qOverload<QListWidgetItem *>(&QListWidget::setCurrentItem));
}

void FileListDialog::clearCurrentItem()
{
    // Through QAbstractItemView, so that the list also stops making its first item current
    // when it takes the keyboard focus: only the user's own choice counts as current.
    m_list->QAbstractItemView::setCurrentIndex(QModelIndex());
    m_list->clearSelection();
}

void FileListDialog::cmdDel_Click()
{
    if (!m_list->currentItem()) {
        m_showMessage(this, QMessageBox::Critical,
                      QStringLiteral("まずはファイルを選んでね（にっこり"), QStringLiteral("怒"));
        return;
    }
    for (int i = m_list->count() - 1; i >= 0; --i) {
        if (m_list->item(i)->checkState() == Qt::Checked)
            delete m_list->takeItem(i);
    }
    clearCurrentItem();

    QList<Selection::Item> left;
    for (int i = 0; i < m_list->count(); ++i) {
        const QListWidgetItem *item = m_list->item(i);
        left.append({item->text(), item->data(StemRole).toString()});
    }
    m_selection.setItems(left);
}
