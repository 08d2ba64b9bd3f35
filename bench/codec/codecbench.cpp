// Code page 932 round trip benchmark.
//   codecbench generate FILE [MB]   writes the generated log
//   codecbench roundtrip IN OUT     reads IN, decodes, encodes, writes OUT; prints seconds
#include "codec/cp932.h"
#include "common/loggen.h"

#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <cstring>

namespace {

int generate(const char *path, int megabytes)
{
    loggen::Options options;
    options.targetBytes = qint64(megabytes) * 1024 * 1024;
    options.hashEvery = 25;
    if (!loggen::writeFile(QString::fromLocal8Bit(path), options)) {
        std::fprintf(stderr, "codecbench: cannot write %s\n", path);
        return 1;
    }
    return 0;
}

int roundTrip(const char *inPath, const char *outPath)
{
    QElapsedTimer timer;
    timer.start();
    QFile in(QString::fromLocal8Bit(inPath));
    QFile out(QString::fromLocal8Bit(outPath));
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "codecbench: cannot open %s or %s\n", inPath, outPath);
        return 1;
    }
    const QByteArray bytes = in.readAll();
    const QString text = cp932::decode(bytes);
    const QByteArray again = cp932::encode(text);
    if (out.write(again) != again.size() || !out.flush()) {
        std::fprintf(stderr, "codecbench: cannot write %s\n", outPath);
        return 1;
    }
    std::printf("%.4f\n", double(timer.nsecsElapsed()) / 1e9);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "generate") == 0)
        return generate(argv[2], argc >= 4 ? std::atoi(argv[3]) : 40);
    if (argc == 4 && std::strcmp(argv[1], "roundtrip") == 0)
        return roundTrip(argv[2], argv[3]);
    std::fprintf(stderr, "usage: codecbench generate FILE [MB] | roundtrip IN OUT\n");
    return 2;
}
