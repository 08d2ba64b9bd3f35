#pragma once

#include <QString>

// The files the pages carry inside them (page/assets/, in the program's resources), and the
// light and dark themes that the modern page and the index page both wear.
namespace pageassets {

// The themes' two backgrounds; speaker and notice colours are made readable on them. The style
// sheets name them and the text colours as @LightBackground@, @DarkBackground@, @LightText@ and
// @DarkText@, filled in from here.
inline const QString LightBackground = QStringLiteral("#FFFFFF");
inline const QString DarkBackground = QStringLiteral("#1B1D21");
// The text on them; speaker colours keep away from it.
inline const QString LightText = QStringLiteral("#1F2328");
inline const QString DarkText = QStringLiteral("#E6EDF3");

// An asset file as the pages write it, the theme's colours filled in. The files are part of the
// program; one that cannot be read is a broken build, not a state to carry on in.
QString asset(const char *name);

// The dark theme's values, which a page writes after the light ones: under
// prefers-color-scheme and for the reader's own choice.
const QString &darkVariables();

} // namespace pageassets
