// The selection of many logs: `intakebench N` prints the CPU seconds addLogFiles takes for N
// log names (in folders of 1 000, Japanese and ASCII names, given in no order), given at once,
// and the same names given to a selection that already holds half of them.
#include "engine/intake.h"
#include "engine/selection.h"

#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>

namespace {

double cpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

QStringList names(int count)
{
    static const char16_t *const words[]
        = {u"chat", u"会話", u"log", u"トーク", u"Memo", u"友達", u"group", u"家族"};
    QStringList out;
    out.reserve(count);
    for (int i = 0; i < count; ++i)
        out.append(QStringLiteral("/archive/%1/%2-%3.txt")
                       .arg(i / 1000)
                       .arg(QString::fromUtf16(words[i % 8]))
                       .arg(i));
    std::shuffle(out.begin(), out.end(), std::mt19937(20261208));
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: intakebench N\n");
        return 2;
    }
    const QStringList paths = names(std::atoi(argv[1]));
    Selection selection;
    double start = cpuSeconds();
    addLogFiles(selection, paths, QStringLiteral("_"));
    const double atOnce = cpuSeconds() - start;

    Selection half;
    addLogFiles(half, paths.mid(0, paths.size() / 2), QStringLiteral("_"));
    start = cpuSeconds();
    addLogFiles(half, paths, QStringLiteral("_"));
    const double intoHalf = cpuSeconds() - start;
    if (selection.selectedCount() != paths.size() || half.selectedCount() != paths.size())
        return 1;
    std::printf("%.3f %.3f\n", atOnce, intoHalf);
    return 0;
}
