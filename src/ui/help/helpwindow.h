#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The short usage guide (frmHelp), shown modally from the main window's help menu.
// Controls by objectName: Text1 (the guide), lblMail (the home-page link), cmdClose.
class HelpWindow : public QDialog
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // The guide, lines joined with CR LF, no line break after the last line.
    static QString helpText();
    // What the program learned since the guide was written, shown below it after an empty
    // line; joined the same way.
    static QString newsText();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setLinkLook(bool hovered);

    QPlainTextEdit *m_text = nullptr;
    QLabel *m_mail = nullptr;
    QPushButton *m_close = nullptr;
};

// Opens the help window modally over `parent` and returns when it closes.
void showHelpWindow(QWidget *parent);
