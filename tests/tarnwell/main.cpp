// Tarnwell FILE: a stand-in for Tarnwell on the session bus (stand_in.h).
// It appends every event Kestrune sends it to FILE and prints "ready" once
// it takes events. Commands on standard input, one a line: busy, free,
// opened and closed send that status to Kestrune; quit, or the end of the
// input, sends "Now I Closed" and ends with status 0. Each command done is
// echoed on standard output.

#include "stand_in.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: Tarnwell RECORD-FILE\n", stderr);
        return 2;
    }
    QFile record(QFile::decodeName(argv[1]));
    if (!record.open(QIODevice::WriteOnly | QIODevice::Append)) {
        std::fprintf(stderr, "Tarnwell: cannot open %s: %s\n", argv[1],
                     qPrintable(record.errorString()));
        return 1;
    }
    tarnwell::StandIn standIn(QDBusConnection::sessionBus(), record);
    if (!standIn.start()) {
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
