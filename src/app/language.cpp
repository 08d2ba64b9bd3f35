#include "language.h"

#include "settings/settingslocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcessEnvironment>

Language messageLanguage(const QProcessEnvironment &env)
{
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = env.value(QLatin1String(name));
        if (!value.isEmpty())
            return value.startsWith(u"ja") ? Language::Japanese : Language::English;
    }
    return Language::English;
}

bool displayAvailable(const QProcessEnvironment &env)
{
    if (!env.value(QStringLiteral("DISPLAY")).isEmpty()
        || !env.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty())
        return true;
    // "name:options", or a list of names tried in turn; xcb and wayland need a display server.
    const QString platform = env.value(QStringLiteral("QT_QPA_PLATFORM"))
                                 .section(u';', 0, 0)
                                 .section(u':', 0, 0)
                                 .trimmed();
    return !platform.isEmpty() && platform != u"xcb" && !platform.startsWith(u"wayland");
}

Translations::Translations(QCoreApplication &app, Language language, const QString &dataDir)
{
    const QString suffix
        = language == Language::Japanese ? QStringLiteral("ja") : QStringLiteral("en");
    // A missing catalog leaves the English source texts: still one language per message.
    const QString folder = QDir(dataDir).filePath(QStringLiteral("translations"));
    if (m_program.load(QStringLiteral("pelorin_") + suffix, folder))
        app.installTranslator(&m_program);
    // The window's messages are written in Japanese: only English needs them translated.
    if (language == Language::English && m_window.load(QStringLiteral("pelorin_window_en"), folder))
        app.installTranslator(&m_window);
    if (language == Language::Japanese && loadQtJapanese(m_qt))
        app.installTranslator(&m_qt);
}
