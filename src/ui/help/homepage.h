#pragma once

#include <QString>
#include <QUrl>

// The version: major + "." + minor + revision, with nothing between minor and revision: "2.00".
QString versionShortForm();

// Half-width ASCII characters -> their full-width forms ("2.00" -> "２．００").
QString toFullWidth(const QString &text);

// The home page opened from the help window: the project has no public page, so
// it is the Japanese documentation page made from the README, installed with the program (the
// build tree has its own copy).
QUrl homePageUrl();

// The web page that lists the program's releases, given when the program is built; empty when
// the project has none.
QUrl releasesPageUrl();

// What the help window's link says for it.
QString homePageLabel();

// Opens the home page with the desktop's "open" action; a failure is ignored.
void openHomePage();
