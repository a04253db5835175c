#pragma once
// The sixteen fields of the sale record, in one table that the store, the entry window, the
// document script and the command-line generator all drive from.

#include <QString>
#include <array>
#include <optional>

enum class Group { People, VehicleDescription, Amount, Conditions };

// Where a field sits in the entry window, in twips from its frame's outer top-left corner.
struct FieldPlacement {
    int boxLeft, boxTop, boxWidth; // every box is 375 twips high
    int tabIndex;
    int labelLeft, labelTop, labelWidth, labelHeight; // no label when labelWidth is 0
    bool twoLineLabel; // keeps its size and wraps; other labels fit their caption
};

struct SaleField {
    const char* box;     // the text box's name, e.g. "txtNameOfBuyer"
    const char* key;     // the settings key, e.g. "Name Of Buyer"
    Group group;         // the frame that holds the box
    const char* caption; // the label beside the box; empty when the frame names it
    const char* sample;  // the value of "Load Sample/Example Data"
    int restoreLine;     // start-up's line that restores the field
    int fillLine;        // the line of the clear and sample buttons that sets the box
    FieldPlacement place;

    QString boxName() const { return QString::fromLatin1(box); }
    QString keyName() const { return QString::fromLatin1(key); }
    QString captionText() const { return QString::fromLatin1(caption); }
    QString sampleValue() const { return QString::fromLatin1(sample); }
    // What a screen reader says for the box: its label without the colon, or the key where
    // the frame's title names the box.
    QString spokenName() const {
        QString name = captionText();
        if (name.endsWith(QLatin1Char(':')))
            name.chop(1);
        return name.isEmpty() ? keyName() : name;
    }
};

inline constexpr int saleFieldCount = 16;

// The most characters one value may hold: far past any sale's particulars, and short enough
// that the document's layout and file stay within what the engine takes on.
inline constexpr int maxValueLength = 10'000'000;

// In the order the start-up restores them: alphabetical by box name.
const std::array<SaleField, saleFieldCount>& saleFields();

// The fields in the order the clear and sample buttons set them (by fillLine).
std::array<const SaleField*, saleFieldCount> fieldsInFillOrder();
// The fields in the order of Tab (by tabIndex): frame by frame, row by row, left before right.
std::array<const SaleField*, saleFieldCount> fieldsInTabOrder();

const SaleField* fieldByBox(const QString& box);
const SaleField* fieldByKey(const QString& key);

// The settings store's coordinates of every field.
inline constexpr char settingsApplication[] = "Marrowind";
inline constexpr char settingsSection[] = "Vantorel";
