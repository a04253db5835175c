// Vantorel's program. The entry window is not part of this build yet: say so plainly
// rather than pretend to have started.
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::fprintf(stderr, "vantorel: this build has no windows yet; the entry window comes next.\n");
    return 1;
}
