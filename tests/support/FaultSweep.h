#pragma once
// Sweeps a trapped procedure with the fault injector: one run without a fault learns the
// numbered lines the procedure passes, then each of those lines fails once in a fresh run.

#include "Trap.h"

#include <QString>
#include <algorithm>
#include <functional>
#include <stdexcept>
#include <vector>

class FaultSweep {
public:
    explicit FaultSweep(QString procedureId) : id(std::move(procedureId)) {}
    ~FaultSweep() { Trap::setFaultInjector({}); }
    FaultSweep(const FaultSweep&) = delete;
    FaultSweep& operator=(const FaultSweep&) = delete;

    // The procedure's numbered lines, in the order `run` passes them, without a fault.
    std::vector<int> linesPassed(const std::function<void()>& run) { return record(run, -1); }

    // The lines passed while the first pass over `line` fails with "Injected".
    std::vector<int> linesPassedFailingAt(int line, const std::function<void()>& run) {
        return record(run, line);
    }

    // Each line once, in the order first passed.
    static std::vector<int> distinct(const std::vector<int>& lines) {
        std::vector<int> out;
        for (int line : lines)
            if (std::find(out.begin(), out.end(), line) == out.end())
                out.push_back(line);
        return out;
    }

private:
    std::vector<int> record(const std::function<void()>& run, int failing) {
        std::vector<int> passed;
        bool failed = false;
        Trap::setFaultInjector([&](const QString& procedure, int line) {
            if (procedure != id)
                return;
            passed.push_back(line);
            if (line == failing && !failed) {
                failed = true;
                throw std::runtime_error("Injected");
            }
        });
        run();
        Trap::setFaultInjector({});
        return passed;
    }

    QString id;
};
