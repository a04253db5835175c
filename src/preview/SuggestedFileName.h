#pragma once
// The name the save dialog offers, made from the sale's values, so that bills saved one
// after another are told apart by name without typing one.

#include <QString>

class SaleRecordSource;

// "Bill of Sale - <buyer> - <year> <make> <model>.<extension>", each value in as far as it
// is given; empty when the buyer and the vehicle are all empty. Runs of white space (tabs and
// line breaks included) become one space; control characters, and the characters a file name
// may not hold here or on a Windows or FAT disk (/ \ : * ? " < > |), are left out, as are
// dots, spaces and hyphens at the end. The whole name, extension included, fits the 255 bytes
// a file system allows a name, cut short between characters where it would not.
QString suggestedFileName(const SaleRecordSource& values, const QString& extension);
