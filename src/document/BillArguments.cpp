#include "BillArguments.h"

BillArguments::BillArguments(QStringList arguments) : words(std::move(arguments)) {}

bool BillArguments::next() {
    if (at < words.size())
        ++at;
    return at < words.size();
}

const QString& BillArguments::current() const {
    return words.at(at);
}

QString BillArguments::value() {
    if (at + 1 >= words.size() || words.at(at + 1).isEmpty())
        throw Error{current() + QStringLiteral(" needs a value")};
    return words.at(++at);
}

void BillArguments::once(QString& slot) {
    if (!slot.isEmpty())
        throw Error{current() + QStringLiteral(" is given twice")};
    slot = value();
}

int BillArguments::number(int most) {
    const QString option = current();
    const QString text = value();
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < 1 || n > most)
        throw Error{QStringLiteral("%1 takes a whole number from 1 to %2, not \"%3\"")
                        .arg(option)
                        .arg(most)
                        .arg(text)};
    return n;
}
