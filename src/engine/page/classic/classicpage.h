#pragma once

#include "engine/page/classic/classicbody.h"
#include "engine/page/classic/classichead.h"
#include "engine/page/pagewriter.h"
#include "engine/page/provenance.h"

#include <functional>

// The classic page: the head and legend (classichead.h), the body (classicbody.h) and the end,
// CR LF after every line, in code page 932 as it always was, or in UTF-8 where the log asks
// for it.
class ClassicPageWriter final : public PageWriter
{
public:
    ClassicPageWriter(const PageFacts &facts, const Settings &settings, const Palette &palette);

    void writeHead(const PageBytes &out) override;
    LineRole writeLine(const QString &line, LineRole role, QStringView ref, qint64 sourceLine,
                       QByteArray &out) override;
    bool writeLineBytes(QByteArrayView bytes, const ByteTests &tests, QByteArray &out) override;
    void writeEnd(QByteArray &out) override;

private:
    QString m_baseName; // up to its first "." (classicTitle)
    bool m_utf8Page;
    ClassicLook m_look;
    ClassicSpeakers m_speakers;
    ClassicBodyWriter m_body; // holds on to m_look and m_speakers
    std::function<Provenance()> m_provenance;
};
