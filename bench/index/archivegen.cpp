// Writes the archive of the index benchmark: archivegen DIR LOGS MEGABYTES
// LOGS Shift-JIS chat logs of MEGABYTES in all, each of its own content (its own seed and
// speakers); prints the total size in bytes.
#include "common/loggen.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: archivegen DIR LOGS MEGABYTES\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const int logs = std::atoi(argv[2]);
    const qint64 total = qint64(std::atof(argv[3]) * 1024 * 1024);
    if (logs < 1 || !QDir().mkpath(dir))
        return 1;
    qint64 written = 0;
    for (int n = 0; n < logs; ++n) {
        loggen::Options options;
        options.targetBytes = total / logs;
        options.speakers = 2 + n % 5;
        options.seed = 20261209u + quint32(n) * 7919u;
        const QByteArray log = loggen::generate(options);
        const QString path = dir + QStringLiteral("/chat%1.txt").arg(n, 4, 10, QLatin1Char('0'));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(log) != log.size())
            return 1;
        written += log.size();
    }
    std::printf("%lld\n", static_cast<long long>(written));
    return 0;
}
