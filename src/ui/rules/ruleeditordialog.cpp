#include "ruleeditordialog.h"

#include "colorcombobox.h"
#include "ruleui.h"
#include "ui/uiutil.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString PositionItems[]
    = {QStringLiteral(" 先頭にあったら        "), QStringLiteral(" 含まれていたら        "),
       QStringLiteral(" 最後にあったら        ")};

QFont japaneseFont(const char *family, qreal points, bool bold)
{
    QFont font(QString::fromUtf8(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace

RuleEditorDialog::RuleEditorDialog(const Palette &colors, const RuleList &rules,
                                   int &ruleEditorCloses, ui::MessageFunction showMessage,
                                   QWidget *owner)
    : QDialog(nullptr)
    , m_rules(rules)
    , m_closes(ruleEditorCloses)
    , m_showMessage(std::move(showMessage))
{
    setObjectName(QStringLiteral("frmRuleSet"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("（ﾟ∀ﾟﾉﾉ☆ ルール作成"));
    setFixedSize(ui::twips(6045), ui::twips(4065));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    buildControls();

    // Loading.
    txtName->selectAll();
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    fillLists(colors);
    ui::setTopmost(this, true);
    ui::pressButtonsOnReturn(this);
    ruleui::attachToOwner(this, owner);
    txtName->setFocus();
    m_loaded = true;
}

void RuleEditorDialog::buildControls()
{
    const QCursor hand = ruleui::pointingHandCursor();
    const char *sentence[] = {"名前に", "という文字が", "文字色の初期値を", "にしようそうしよう。"};
    const int places[][4] = {{180, 480, 750, 240},
                             {1620, 1260, 1380, 240},
                             {360, 1920, 2010, 240},
                             {2220, 3120, 2040, 240}};
    QLabel *labels[4];
    for (int i = 0; i < 4; ++i) {
        labels[i] = new QLabel(QString::fromUtf8(sentence[i]), this);
        labels[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
        labels[i]->setFont(japaneseFont("ＭＳ Ｐゴシック", 12, true));
        QPalette pal = labels[i]->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        labels[i]->setPalette(pal);
        ui::placeTwips(labels[i], places[i][0], places[i][1], places[i][2], places[i][3]);
        ruleui::fitTextToWidth(labels[i]);
    }

    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setFont(japaneseFont("ＭＳ ゴシック", 24, false));
    ui::placeTwips(txtName, 1080, 240, 4395, 615);
    txtName->installEventFilter(this);

    cboRule = new ColorComboBox(this);
    cboRule->setObjectName(QStringLiteral("cboRule"));
    cboRule->setFont(japaneseFont("ＭＳ ゴシック", 12, true));
    ui::placeTwips(cboRule, 3180, 1200, 2475, 360);

    lblNo = new QLabel(this);
    lblNo->setObjectName(QStringLiteral("lblNo"));
    ui::placeTwips(lblNo, 5040, 1860, 495, 495);
    lblNo->setVisible(false);

    cboColor = new ColorComboBox(this);
    cboColor->setObjectName(QStringLiteral("cboColor"));
    cboColor->setFont(japaneseFont("ＭＳ ゴシック", 12, true));
    ui::placeTwips(cboColor, 840, 2460, 3075, 360);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    ui::placeTwips(OKButton, 4680, 3000, 1215, 375);
    CancelButton = new QPushButton(QStringLiteral("やっぱ中止"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    ui::placeTwips(CancelButton, 4680, 3420, 1215, 375);
    // No default button: Return presses only a focused button; Escape is the cancel key.
    for (QPushButton *button : {OKButton, CancelButton})
        ruleui::setButtonBackground(button, ui::WindowGrey);

    chkRule = new QCheckBox(QStringLiteral("同じルールがあるかチェックします"), this);
    chkRule->setObjectName(QStringLiteral("chkRule"));
    chkRule->setFont(japaneseFont("ＭＳ Ｐゴシック", 11.25, true));
    QPalette checkPalette = chkRule->palette();
    checkPalette.setColor(QPalette::WindowText, Qt::white);
    checkPalette.setColor(QPalette::Window, Qt::black);
    chkRule->setPalette(checkPalette);
    ui::placeTwips(chkRule, 180, 3540, 3855, 435);
    ruleui::fitTextToWidth(chkRule);
    chkRule->setChecked(true);

    for (QWidget *w :
         std::initializer_list<QWidget *> {OKButton, CancelButton, chkRule, cboRule, cboColor})
        w->setCursor(hand);
    setTabOrder(txtName, cboRule);
    setTabOrder(cboRule, cboColor);
    setTabOrder(cboColor, OKButton);
    setTabOrder(OKButton, CancelButton);
    setTabOrder(CancelButton, chkRule);

    connect(OKButton, &QPushButton::clicked, this, &RuleEditorDialog::okClicked);
    connect(CancelButton, &QPushButton::clicked, this, &RuleEditorDialog::close);
}

void RuleEditorDialog::fillLists(const Palette &palette)
{
    for (const QString &item : PositionItems)
        cboRule->addItem(item);
    cboRule->setCurrentIndex(0);

    // The rule's colour field holds two digits: entries past 99 can't be a rule's colour.
    const qsizetype entries = std::min<qsizetype>(palette.size(), MaxColorEntries);
    for (qsizetype n = 0; n < entries; ++n)
        cboColor->addColorItem(QStringLiteral(" ") + palette[n].label + QStringLiteral("        "),
                               colorcode::colorValueFromCode(palette[n].code));
    cboColor->setCurrentIndex(0);
    colorChosen(cboColor->currentIndex());

    connect(cboColor, &QComboBox::currentIndexChanged, this, &RuleEditorDialog::colorChosen);
    connect(cboRule, &QComboBox::currentIndexChanged, this, &RuleEditorDialog::positionChosen);
}

void RuleEditorDialog::setNumber(int number)
{
    lblNo->setText(QString::number(number));
}

int RuleEditorDialog::number() const
{
    return lblNo->text().toInt();
}

void RuleEditorDialog::setRuleText(const QString &text)
{
    txtName->setText(text);
    txtName->selectAll();
}

void RuleEditorDialog::choosePosition(const QString &word)
{
    int entry = 0;
    for (int i = 0; i < cboRule->count(); ++i) {
        if (trimRuleText(cboRule->itemText(i)) == word) {
            entry = i;
            break;
        }
    }
    cboRule->setCurrentIndex(entry);
}

void RuleEditorDialog::chooseColor(int colorIndex)
{
    if (colorIndex >= 1 && colorIndex <= cboColor->count())
        cboColor->setCurrentIndex(colorIndex - 1);
}

void RuleEditorDialog::colorChosen(int index)
{
    // The text, the position and the colour name all show the colour the rule will give.
    const QColor colour = cboColor->itemColor(index);
    cboColor->setTextColor(colour);
    cboRule->setTextColor(colour);
    QPalette pal = txtName->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        pal.setColor(group, QPalette::Text, colour);
    txtName->setPalette(pal);
    if (m_loaded)
        OKButton->setFocus();
}

void RuleEditorDialog::positionChosen()
{
    if (m_loaded)
        OKButton->setFocus();
}

void RuleEditorDialog::refuse(const QString &prompt, bool selectText)
{
    if (m_showMessage)
        m_showMessage(this, QMessageBox::Critical, prompt, ruleui::RetryTitle);
    if (selectText) {
        txtName->selectAll();
        txtName->setFocus();
    }
}

void RuleEditorDialog::okClicked()
{
    const QString text = trimRuleText(txtName->text());
    if (isBlankRuleText(text)) {
        refuse(QStringLiteral("空白ざます。ヽ(`Д´)ﾉ "), false);
        return;
    }
    // A text the settings file could not give back as it is.
    if (const RuleRefusal refusal = ruleTextRefusal(text); refusal != RuleRefusal::None) {
        refuse(ruleui::refusalPrompt(refusal), true);
        return;
    }
    const QString position = trimRuleText(cboRule->currentText());
    if (chkRule->isChecked() && findDuplicateRule(m_rules, text, position, bNew ? 0 : number())) {
        refuse(QStringLiteral("同じのあるざます。ヽ(`Д´)ﾉ "), true);
        return;
    }
    const RuleEditorResult result {number(), bNew, text, position, cboColor->currentIndex()};
    const RuleRefusal refusal = applyResult ? applyResult(result) : RuleRefusal::None;
    if (refusal != RuleRefusal::None) {
        refuse(ruleui::refusalPrompt(refusal), refusal != RuleRefusal::TooMany);
        return;
    }
    m_closes = 1;
    close(); // closing counts once more
}

void RuleEditorDialog::reject()
{
    close();
}

void RuleEditorDialog::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_closeCounted)
        return;
    m_closeCounted = true;
    ++m_closes;
    emit closed();
}

bool RuleEditorDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtName && event->type() == QEvent::FocusIn)
        txtName->selectAll();
    return QDialog::eventFilter(watched, event);
}
