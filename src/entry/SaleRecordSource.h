#pragma once
// Where the document script reads the sixteen values: the entry window's text boxes in the
// program, a fixed record in the command-line generator and in tests. The script asks for
// each value at the statement that types it.

#include <QHash>
#include <QString>

class SaleRecordSource {
public:
    virtual ~SaleRecordSource() = default;
    // The current text of the named box (e.g. "txtMake").
    virtual QString text(const QString& box) const = 0;
};

// A record held in memory, by box name; a box it does not hold reads as empty.
class FixedRecord : public SaleRecordSource {
public:
    FixedRecord() = default;
    explicit FixedRecord(QHash<QString, QString> valuesByBox) : values(std::move(valuesByBox)) {}
    QString text(const QString& box) const override { return values.value(box); }
    void set(const QString& box, const QString& value) { values.insert(box, value); }

    // The sample sale of "Load Sample/Example Data".
    static FixedRecord sample();

private:
    QHash<QString, QString> values;
};
