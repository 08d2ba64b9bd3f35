#pragma once

#include <QString>

// The index page's style sheet and script, kept as files beside the code (page/assets/, in the
// program's resources) and written into the pages as they are.
namespace indexassets {

const QString &indexStyle();
const QString &indexScript();

} // namespace indexassets
