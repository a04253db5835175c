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
#include <utility>

class Trap {
public:
    explicit Trap(Procedure procedure);
    explicit Trap(QString procedureId);

    // Runs the statements of one numbered line in order.
    template <class... Statements> void line(int number, Statements&&... statements) {
        marker = number;
        (run(std::forward<Statements>(statements)), ...);
    }

    // The test of a conditional whose guarded steps stand on lines of their own: when the
    // test fails, the report is shown and the guarded steps run as though it had passed.
    template <class Test> bool blockTest(int number, Test&& test) {
        marker = number;
        bool result = true;
        run([&] { result = bool(test()); });
        return result;
    }

    // The test of a conditional whose guarded action stands on the same line: when the test
    // fails, the report is shown and the action is skipped.
    template <class Test> bool inlineTest(int number, Test&& test) {
        marker = number;
        bool result = false;
        run([&] { result = bool(test()); });
        return result;
    }

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
    void report(std::exception_ptr failure);

    QString id;
    int marker = 0;
    int reports = 0;
};

// The description a failure gives: what the failing operation said, or the standard
// description of its kind.
QString failureDescription(std::exception_ptr failure);
