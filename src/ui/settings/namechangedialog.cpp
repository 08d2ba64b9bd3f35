#include "namechangedialog.h"

#include "dialogsupport.h"
#include "ui/uiutil.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// Geometry in twips.
constexpr auto place = ui::placeTwips;

NameChangeDialog::NameChangeDialog(const QString &name, const QColor &swatch, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmNameChange"));
    setWindowTitle(QStringLiteral("色の名前の変更"));
    setModal(true);
    setFixedSize(ui::twips(5160), ui::twips(1755));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    Label1 = new QLabel(QStringLiteral("色の名前を変更します。"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QPalette labelPal = Label1->palette();
    labelPal.setColor(QPalette::WindowText, Qt::white);
    Label1->setPalette(labelPal);
    place(Label1, 120, 120, 3600, 300);

    lblSample = new QLabel(this);
    lblSample->setObjectName(QStringLiteral("lblSample"));
    lblSample->setToolTip(QStringLiteral("こんな文字色です"));
    lblSample->setAutoFillBackground(true);
    QPalette samplePal = lblSample->palette();
    samplePal.setColor(QPalette::Window, swatch);
    lblSample->setPalette(samplePal);
    place(lblSample, 120, 540, 480, 480);

    txtName = new QLineEdit(name, this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
    place(txtName, 720, 600, 4320, 360);
    txtName->selectAll();

    cmdOk = new QPushButton(QStringLiteral("変更"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setToolTip(QStringLiteral("変更っ"));
    cmdOk->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("やっぱ中止"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setToolTip(QStringLiteral("きゃんせる"));
    place(cmdOk, 2160, 1170, 1380, 420);
    place(cmdCancel, 3660, 1170, 1380, 420);
    const QCursor pointer = settingsui::pointerCursor();
    cmdOk->setCursor(pointer);
    cmdCancel->setCursor(pointer);
    connect(cmdOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    ui::setTopmost(this, true);
    ui::pressButtonsOnReturn(this);
    txtName->setFocus(Qt::OtherFocusReason);
}

QString NameChangeDialog::name() const
{
    return txtName->text();
}
