#pragma once

#include <QDialog>
#include <QUrl>

// The version window (frmVer), shown modally from the main window's help menu.
// Controls by objectName: Label1, lblVer, Command1 (opens `releasesPage` to check for a newer
// version; left out when there is no such page), cmdClose.
class VersionWindow : public QDialog
{
    Q_OBJECT

public:
    explicit VersionWindow(const QUrl &releasesPage, QWidget *parent = nullptr);

    // "Ｖｅｒ " + the short version in full-width characters + "b": "Ｖｅｒ ２．００b".
    static QString versionLabelText();
};

// Opens the version window modally over `parent` and returns when it closes.
void showVersionWindow(QWidget *parent);
