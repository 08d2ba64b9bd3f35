#pragma once

#include <QString>
#include <QTranslator>

class QCoreApplication;
class QProcessEnvironment;

// The language of the program's own command-line texts (--help, --version, usage errors and
// every line of a batch run). The windows are Japanese whatever the locale.
enum class Language { English, Japanese };

// Japanese when the first of LC_ALL, LC_MESSAGES and LANG that is set (non-empty) starts with
// "ja", as POSIX orders them; English otherwise.
Language messageLanguage(const QProcessEnvironment &env);

// Whether Qt's window system can start: DISPLAY or WAYLAND_DISPLAY says where a display server
// is, or QT_QPA_PLATFORM names a platform that needs none (offscreen, vnc, …).
bool displayAvailable(const QProcessEnvironment &env);

// The catalogs of one language, installed into the application for as long as they live:
// the program's own (pelorin_ja.qm / pelorin_en.qm from dataDir/translations), for English the
// window messages' (pelorin_window_en.qm) and, for Japanese, Qt's (the system's qtbase_ja.qm,
// for the file errors Qt reports).
class Translations
{
public:
    Translations(QCoreApplication &app, Language language, const QString &dataDir);

private:
    QTranslator m_program;
    QTranslator m_window;
    QTranslator m_qt;
};
