#pragma once

#include "ui/uiutil.h"

#include <QDialog>

class QListWidget;
class Selection;

// The selected-file list (frmFile): the selected logs with a check box each; "削除" takes the
// checked ones out of the selection. Modal and topmost; works directly on `selection`.
// Controls by objectName: Label2, List1 (the paths), cmdDel, cmdCancel.
class FileListDialog : public QDialog
{
    Q_OBJECT

public:
    FileListDialog(Selection &selection, ui::MessageFunction showMessage,
                   QWidget *parent = nullptr);

private:
    void cmdDel_Click();
    void clearCurrentItem();

    Selection &m_selection;
    ui::MessageFunction m_showMessage;
    QListWidget *m_list = nullptr;
};
