#pragma once
// A reporting trap for one run of a procedure. Each numbered line sets the procedure's
// last-line marker before its statements run; a statement that fails (throws) is reported
// with the procedure's id and that marker, and the procedure goes on with the statement that
// follows it, on the same line or the next. The trap stays armed for the whole run, so one
// run can show several reports. Nothing escapes it: no exception reaches the event loop.
//
//   Trap trap(Procedure::Form1_PushButton1_Click);
//   if (trap.inlineTest(100, [&] { return mGenerating; })) return;
//   trap.line(102, [&] { mGenerating = true; });
//   trap.line(104, [&] { a(); }, [&] { b(); }); // two statements sharing line 104

#include "ProcedureIds.h"

#include <QString>
#include <exception>
#include <functional>
#include <utility>

class Trap {
public:
    explicit Trap(Procedure procedure);
    explicit Trap(QString procedureId);

    // Runs the statements of one numbered line in order.
    template <class First, class... Rest> void line(int number, First&& first, Rest&&... rest) {
        marker = number;
        run([&] {
            injectFault();
            std::forward<First>(first)();
        });
        (run(std::forward<Rest>(rest)), ...);
    }

    // A statement without a line number of its own: a failure quotes the line set last.
    template <class Statement> void unnumbered(Statement&& statement) {
        run(std::forward<Statement>(statement));
    }

    // The test of a conditional whose guarded steps stand on lines of their own: when the
    // test fails, the report is shown and the guarded steps run as though it had passed.
    template <class Test> bool blockTest(int number, Test&& test) {
        marker = number;
        bool result = true;
        run([&] {
            injectFault();
            result = bool(test());
        });
        return result;
    }

    // The test of a conditional whose guarded action stands on the same line: when the test
    // fails, the report is shown and the action is skipped.
    template <class Test> bool inlineTest(int number, Test&& test) {
        marker = number;
        bool result = false;
        run([&] {
            injectFault();
            result = bool(test());
        });
        return result;
    }

    // For tests: a function called as each numbered line begins, with the procedure's id and
    // the line; when it throws, the line's first statement (or test) fails with that failure
    // instead of running.
    using FaultInjector = std::function<void(const QString& procedureId, int line)>;
    static void setFaultInjector(FaultInjector injector);

    const QString& procedureId() const { return id; }
    int lastLine() const { return marker; }
    int reportCount() const { return reports; }

private:
    template <class Statement> void run(Statement&& statement) {
        try {
            std::forward<Statement>(statement)();
        } catch (...) {
            report(std::current_exception());
        }
    }
    void injectFault() const {
        if (faultInjector)
            faultInjector(id, marker);
    }
    void report(std::exception_ptr failure);

    static FaultInjector faultInjector;

    QString id;
    int marker = 0;
    int reports = 0;
};

// The description a failure gives: what the failing operation said, or the standard
// description of its kind.
QString failureDescription(std::exception_ptr failure);
