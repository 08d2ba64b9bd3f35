#pragma once

#include <QString>

// The index page's style sheet and script, and the style of a page's links to its neighbours,
// kept as files beside the code (page/assets/, in the program's resources) and written into
// the pages as they are.
namespace pageassets {

const QString &indexStyle();
const QString &indexScript();
const QString &pageNavStyle();

} // namespace pageassets
