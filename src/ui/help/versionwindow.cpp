#include "versionwindow.h"

#include "homepage.h"
#include "ui/uiutil.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QString VersionWindow::versionLabelText()
{
    return QStringLiteral("Ｖｅｒ ") + toFullWidth(versionShortForm()) + u'b';
}

VersionWindow::VersionWindow(const QUrl &releasesPage, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmVer"));
    setModal(true);
    setWindowTitle(QStringLiteral("バージョン情報"));

    // The decorative face of the two title labels.
    QFont display(QStringLiteral("Noto Serif CJK JP"), 22, QFont::Bold);
    display.setItalic(true);

    auto *name = new QLabel(QStringLiteral("Pelorin"), this);
    name->setObjectName(QStringLiteral("Label1"));
    name->setFont(display);
    name->setAlignment(Qt::AlignCenter);

    auto *version = new QLabel(this);
    version->setObjectName(QStringLiteral("lblVer"));
    version->setFont(display);
    version->setAlignment(Qt::AlignCenter);

    auto *close = new QPushButton(QStringLiteral("閉じてみる"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setToolTip(QStringLiteral("閉じてみようか"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addSpacing(8);
    if (!releasesPage.isEmpty()) {
        auto *check = new QPushButton(QStringLiteral("最新版があるかどうかチェックしてみる"), this);
        check->setObjectName(QStringLiteral("Command1"));
        check->setToolTip(QStringLiteral("リリースの一覧のページにブラウザでジャンプします"));
        connect(check, &QPushButton::clicked, this,
                [releasesPage] { QDesktopServices::openUrl(releasesPage); });
        layout->addWidget(check);
    }
    layout->addWidget(close, 0, Qt::AlignHCenter);

    ui::setTopmost(this, true);
    ui::pressButtonsOnReturn(this);
    version->setText(versionLabelText());
    setFixedSize(sizeHint().expandedTo(QSize(320, 0)));
}

void showVersionWindow(QWidget *parent)
{
    VersionWindow window(releasesPageUrl(), parent);
    window.exec();
}
