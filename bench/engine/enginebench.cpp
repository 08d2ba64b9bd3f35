// Writes the log of the text-output benchmark: enginebench LOG MEGABYTES
// Eight speakers, notice blocks and "# " lines; prints the log's line count and size.
// With --xml before LOG, an XML history of that size instead (common/xmlgen.h); prints its size.
#include "common/loggen.h"
#include "common/xmlgen.h"

#include <QByteArray>
#include <QFile>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc == 4 && QByteArray(argv[1]) == "--xml") {
        const QByteArray history = xmlgen::generate(qint64(std::atof(argv[3]) * 1024 * 1024));
        QFile file(QString::fromLocal8Bit(argv[2]));
        if (!file.open(QIODevice::WriteOnly) || file.write(history) != history.size())
            return 1;
        std::printf("%lld\n", static_cast<long long>(history.size()));
        return 0;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: enginebench [--xml] LOG MEGABYTES\n");
        return 2;
    }
    loggen::Options options;
    options.targetBytes = qint64(std::atof(argv[2]) * 1024 * 1024);
    options.speakers = 8;
    options.noticeEvery = 40;
    options.hashEvery = 25;
    const QByteArray log = loggen::generate(options);
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(log) != log.size())
        return 1;
    std::printf("%lld %lld\n", static_cast<long long>(log.count("\r\n")),
                static_cast<long long>(log.size()));
    return 0;
}
