// The command line reader of vantorel-bill: the edges its commands' own tests do not reach.
#include "BillArguments.h"

#include <gtest/gtest.h>

namespace {

// Reads `words` the way the commands do, with one option of each kind: --file (a file name,
// once), --n (a number up to 5), --v (any value); other words are kept as they are. The
// answer lists what was read, or the message of the first error.
QString read(const QStringList& words) {
    QString file;
    QStringList seen;
    try {
        for (BillArguments arguments(words); arguments.next();) {
            const QString& word = arguments.current();
            if (word == QStringLiteral("--file"))
                arguments.once(file);
            else if (word == QStringLiteral("--n"))
                seen << QStringLiteral("n=%1").arg(arguments.number(5));
            else if (word == QStringLiteral("--v"))
                seen << QStringLiteral("v=") + arguments.value();
            else
                seen << word;
        }
    } catch (const BillArguments::Error& e) {
        return e.message;
    }
    if (!file.isEmpty())
        seen << QStringLiteral("file=") + file;
    return seen.join(u' ');
}

TEST(BillArguments, ValuesRepeatsAndNumbers) {
    struct {
        QStringList words;
        const char* read;
    } cases[] = {
        {{}, ""},
        {{"a", "--file", "x.doc", "b"}, "a b file=x.doc"},
        // A value is the next word, whatever it looks like.
        {{"--file", "--n"}, "file=--n"},
        {{"--v", "-"}, "v=-"},
        {{"--v", "--v", "--v", "x"}, "v=--v v=x"},
        // No "--option=value" form: the word stays whole, for the command to refuse.
        {{"--file=x.doc"}, "--file=x.doc"},
        {{"--file"}, "--file needs a value"},
        {{"a", "--v"}, "--v needs a value"},
        {{"--file", "", "x.doc"}, "--file needs a value"},
        {{"--file", "a.doc", "--file", "b.doc"}, "--file is given twice"},
        // The second one is refused before its value is looked at.
        {{"--file", "a.doc", "--file"}, "--file is given twice"},
        {{"--n", "1", "--n", "5"}, "n=1 n=5"},
        {{"--n", "0"}, "--n takes a whole number from 1 to 5, not \"0\""},
        {{"--n", "6"}, "--n takes a whole number from 1 to 5, not \"6\""},
        {{"--n", "-1"}, "--n takes a whole number from 1 to 5, not \"-1\""},
        {{"--n", "2.0"}, "--n takes a whole number from 1 to 5, not \"2.0\""},
        {{"--n", "99999999999"}, "--n takes a whole number from 1 to 5, not \"99999999999\""},
        {{"--n"}, "--n needs a value"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(read(c.words), QString::fromUtf8(c.read)) << c.words.join(u' ').toStdString();
}

} // namespace
