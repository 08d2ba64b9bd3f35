// Writes the logs of the HTML benchmark: htmlbench LOG MEGABYTES SPEAKERS [LINES]
// With LINES the log is grown until it has at least that many lines; prints the log's line
// count and size.
#include "common/loggen.h"

#include <QByteArray>
#include <QFile>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: htmlbench LOG MEGABYTES SPEAKERS [LINES]\n");
        return 2;
    }
    loggen::Options options;
    options.targetBytes = qint64(std::atof(argv[2]) * 1024 * 1024);
    options.speakers = std::atoi(argv[3]);
    const qint64 wantLines = argc > 4 ? std::atoll(argv[4]) : 0;

    QByteArray log = loggen::generate(options);
    qint64 lines = log.count("\r\n");
    if (wantLines > 0 && lines < wantLines) {
        // Same bytes per line on average: scale the size to reach the line count.
        options.targetBytes = qint64(double(options.targetBytes) * wantLines / lines * 1.01);
        log = loggen::generate(options);
        lines = log.count("\r\n");
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(log) != log.size())
        return 1;
    std::printf("%lld %lld\n", static_cast<long long>(lines), static_cast<long long>(log.size()));
    return 0;
}
