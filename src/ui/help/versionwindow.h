#pragma once

#include <QDialog>

// The version window (frmVer), shown modally from the main window's help menu.
// Controls by objectName: Label1, lblVer, Command1 (opens the home page), cmdClose.
class VersionWindow : public QDialog
{
    Q_OBJECT

public:
    explicit VersionWindow(QWidget *parent = nullptr);

    // "Ｖｅｒ " + the short version in full-width characters + "b": "Ｖｅｒ ２．００b".
    static QString versionLabelText();
};

// Opens the version window modally over `parent` and returns when it closes.
void showVersionWindow(QWidget *parent);
