#pragma once
// vantorel-bill's command line, read a word at a time. An option's value is the word after
// it, taken as it is even when it starts with a dash; there is no "--option=value" form.

#include <QString>
#include <QStringList>

class BillArguments {
public:
    // Bad usage; the message names the option.
    struct Error {
        QString message;
    };

    explicit BillArguments(QStringList arguments);

    // Moves to the next word; false when none is left.
    bool next();
    // The word moved to.
    const QString& current() const;

    // The current option's value: the word after it. Throws "OPTION needs a value" when there
    // is none or it is empty.
    QString value();
    // The value, into `slot`, which must still be empty: an option that names a file may be
    // given once ("OPTION is given twice").
    void once(QString& slot);
    // The value as a whole number from 1 to `most`.
    int number(int most);

private:
    QStringList words;
    qsizetype at = -1;
};
