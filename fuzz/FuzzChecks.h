#pragma once
// What the fuzz targets of our own readers share: a broken property ends the run as a crash
// does, so that libFuzzer keeps the input; and the seed corpus each target writes on request.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace fuzzing {

inline void check(bool holds, const char* property, const QString& detail = {}) {
    if (holds)
        return;
    std::fprintf(stderr, "broken: %s\n%s\n", property, detail.toUtf8().constData());
    std::abort();
}

// With VANTOREL_FUZZ_WRITE_SEEDS=<folder> in the environment, writes `seeds` there, one file
// each, and ends the program: the test registration starts each run from them.
inline void writeSeedsIfAsked(std::initializer_list<QByteArray> seeds) {
    const QString folder = qEnvironmentVariable("VANTOREL_FUZZ_WRITE_SEEDS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    int n = 0;
    for (const QByteArray& seed : seeds) {
        QFile file(QDir(folder).filePath(QStringLiteral("seed-%1").arg(++n)));
        if (!file.open(QIODevice::WriteOnly) || file.write(seed) != seed.size())
            std::exit(1);
    }
    std::exit(0);
}

} // namespace fuzzing
