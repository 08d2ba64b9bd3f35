#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// frmNameChange: the modal editor for the name of one palette colour. It opens with the name
// fully selected and a swatch in the colour the settings dialog's editors show; the caller
// takes name() when it was confirmed.
class NameChangeDialog : public QDialog
{
    Q_OBJECT

public:
    NameChangeDialog(const QString &name, const QColor &swatch, QWidget *parent = nullptr);

    QString name() const;

private:
    QLabel *Label1 = nullptr;
    QLabel *lblSample = nullptr;
    QLineEdit *txtName = nullptr;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdCancel = nullptr;
};
