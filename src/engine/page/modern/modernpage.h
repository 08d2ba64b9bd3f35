#pragma once

#include "engine/page/htmltext.h"
#include "engine/page/index/pagenav.h"
#include "engine/page/modern/modernbody.h"
#include "engine/page/pagewriter.h"
#include "engine/page/provenance.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// The modern page: HTML5 in UTF-8, one self-contained file that reads well on a phone and
// without JavaScript, with a light and a dark theme whose speaker colours are all readable.
// This part writes everything up to the first utterance and the page's end; ModernBody
// (modernbody.h) writes the utterances in between, and ModernPageWriter puts the three together.

struct ModernSpeaker
{
    QString name; // as the log has it (the legend shows its text, markup left out)
    QString color; // the chosen "#RRGGBB", or empty when the palette had no such entry
    qsizetype utterances = 0;
};

struct ModernPageInfo
{
    QString baseName; // the log's name, as the title and heading show it
    QString chatName; // the chat's own name, shown instead where the log tells it (plain text)
    QList<ModernSpeaker> speakers; // in speaker order
    qsizetype utterances = 0;
    QString firstDate; // empty when the log tells no dates
    QString lastDate;
    QString bodyColor; // stands in for a speaker without a colour
    QString narColor; // notices
    PageNav nav; // links to the folder's index and the neighbouring pages, when it has one
    // A chat app's export: its replies, pictures (beside the page) and reactions are shown.
    bool chatExport = false;
    QString timeZone; // the zone its times are shown in, where the export wrote instants
    bool redacted = false; // names and personal details replaced: said under the heading
};

// The page from "<!DOCTYPE html>" up to the opening of the utterances, in pieces.
void writeModernHead(const ModernPageInfo &info, const PageSink &sink);
// What follows the last utterance and the charts.
QByteArray modernPageEnd();

class ModernPageWriter final : public PageWriter
{
public:
    ModernPageWriter(const PageFacts &facts, const Settings &settings);

    void writeHead(const PageBytes &out) override;
    LineRole writeLine(const QString &line, LineRole role, QStringView ref, qint64 sourceLine,
                       QByteArray &out) override;
    void writeEnd(QByteArray &out) override;

private:
    ModernPageInfo m_info;
    ModernBody m_body;
    std::function<Provenance()> m_provenance;
};
