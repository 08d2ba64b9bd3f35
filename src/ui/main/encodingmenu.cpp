#include "encodingmenu.h"

#include "settings/settings.h"

#include <QActionGroup>

EncodingMenu::EncodingMenu(Settings &settings, QWidget *parent)
    : QMenu(QStringLiteral("文字コード(&E)"), parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("mnuEncoding"));
    const char *const names[]
        = {"mnuEncodingAuto", "mnuEncodingSjis", "mnuEncodingUtf8", "mnuEncodingUtf16"};
    auto *group = new QActionGroup(this);
    for (std::size_t i = 0; i < std::size(EncodingWords); ++i) {
        // The stored words are the captions.
        QAction *item = addAction(EncodingWords[i]);
        item->setObjectName(QString::fromLatin1(names[i]));
        item->setCheckable(true);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, word = EncodingWords[i]] {
            m_settings.logEncoding = word;
            emit chosen();
        });
        m_items.append(item);
    }
}

void EncodingMenu::showChoice()
{
    const QString word = encodingWord(encodingChoice(m_settings.logEncoding));
    for (qsizetype i = 0; i < m_items.size(); ++i)
        m_items[i]->setChecked(EncodingWords[i] == word);
}
