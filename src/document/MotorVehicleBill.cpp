#include "MotorVehicleBill.h"

#include "Automation.h"
#include "Dialogs.h"
#include "Failure.h"
#include "Paths.h"
#include "SaleRecordSource.h"
#include "Trap.h"

namespace MotorVehicleBill {

namespace {

const QString crlf = QStringLiteral("\r\n");

// Names drawn for one save before giving up: only someone creating files under the very
// names being drawn, as they are drawn, gets this far.
constexpr int maxNameDraws = 100;

const QString odometerCertification = QStringLiteral(
    "Seller certifies to the best of the Seller's knowledge that the odometer reading listed in "
    "the vehicle description above reflects the actual mileage of the Vehicle. The Vehicle's "
    "odometer was not altered, set back, or disconnected while in the Seller's possession, and "
    "the Seller has no knowledge of anyone doing so.");

const QString titleWarranty = QStringLiteral(
    "Seller warrants to Buyer that Seller has good and marketable title to said property, full "
    "authority to sell and transfer said property, and that said property is sold free of all "
    "liens, encumbrances, liabilities, and adverse claims of every nature and description "
    "whatsoever.");

const QString conditionStatement = QStringLiteral(
    "Seller has no knowledge of any hidden defects in and to the Vehicle, and believes to the "
    "best of the Seller's knowledge that the Vehicle being sold is in good operating condition. "
    "Said Vehicle is otherwise sold in \"as is\" condition and where currently located.");

// A statement that uses an object which an earlier, failed statement never produced fails
// the way an unset object variable does.
template <class T> T& need(const std::shared_ptr<T>& object) {
    if (!object)
        throw Failure(QStringLiteral("Object variable or With block variable not set"));
    return *object;
}
template <class T> T& need(T* object) {
    if (!object)
        throw Failure(QStringLiteral("Object variable or With block variable not set"));
    return *object;
}

// One table cell: bold on, size 8, centred vertically, the text, then a move to the right
// (none for the last cell of the document), at lines L to L+8.
struct CellStep {
    int line;
    const char* label;
    const char* box; // nullptr: the label alone
    int move;        // 0: no move
};

constexpr CellStep vehicleCells[] = {
    {220, "Make: ", "txtMake", 1},
    {230, "Model or series:  ", "txtModel", 2},
    {240, "Year: ", "txtYear", 1},
    {250, "Color: ", "txtColor", 2},
    {260, "VIN #: ", "txtVIN", 1},
    {270, "Style: ", "txtStyle", 2},
    {280, "Odometer reading: ", "txtOdometer", 1},
    {290, "Title #: ", "txtTitle", 2},
};

constexpr CellStep signatureCells[] = {
    {364, "Date signed: ", nullptr, 2},
    {374, "Seller: ", nullptr, 2},
    {384, "Buyer: ", nullptr, 2},
    {394, "In the presence of (Witness): ", nullptr, 2},
    {404, "Print name of witness: ", "txtNameOfWitness", 0},
};

class Script {
public:
    Script(word::ApplicationFactory& factory, const SaleRecordSource& source, Trap& t)
        : word(factory), record(source), trap(t) {}

    void createDocument() {
        trap.line(102, [&] { app = word.CreateNew(); });
        trap.line(104, [&] { doc = need(app).Documents().Add(); });
    }

    void setUpPage() {
        word::PageSetup* setup = nullptr;
        trap.line(106, [&] { setup = &need(doc).PageSetup(); });
        trap.line(108, [&] { need(setup).LineNumbering().SetActive(false); });
        trap.line(110, [&] { need(setup).SetOrientation(word::wd::OrientPortrait); });
        trap.line(112, [&] { need(setup).SetTopMargin(inches(1)); });
        trap.line(114, [&] { need(setup).SetBottomMargin(inches(1)); });
        trap.line(116, [&] { need(setup).SetLeftMargin(inches(1.25)); });
        trap.line(118, [&] { need(setup).SetRightMargin(inches(1.25)); });
        trap.line(120, [&] { need(setup).SetGutter(inches(0)); });
        trap.line(122, [&] { need(setup).SetHeaderDistance(inches(0.5)); });
        trap.line(124, [&] { need(setup).SetFooterDistance(inches(0.5)); });
        trap.line(126, [&] { need(setup).SetPageWidth(inches(8.5)); });
        trap.line(128, [&] { need(setup).SetPageHeight(inches(11)); });
        trap.line(130, [&] { need(setup).SetFirstPageTray(word::wd::PrinterDefaultBin); });
        trap.line(132, [&] { need(setup).SetOtherPagesTray(word::wd::PrinterDefaultBin); });
        trap.line(134, [&] { need(setup).SetSectionStart(word::wd::SectionNewPage); });
        trap.line(136, [&] { need(setup).SetOddAndEvenPagesHeaderFooter(false); });
        trap.line(138, [&] { need(setup).SetDifferentFirstPageHeaderFooter(false); });
        trap.line(140, [&] { need(setup).SetVerticalAlignment(word::wd::AlignVerticalTop); });
        trap.line(142, [&] { need(setup).SetSuppressEndnotes(false); });
        trap.line(144, [&] { need(setup).SetMirrorMargins(false); });
        trap.line(146, [&] { need(setup).SetTwoPagesOnOne(false); });
        trap.line(148, [&] { need(setup).SetBookFoldPrinting(false); });
        trap.line(150, [&] { need(setup).SetBookFoldRevPrinting(false); });
        trap.line(152, [&] { need(setup).SetBookFoldPrintingSheets(1); });
        trap.line(154, [&] { need(setup).SetGutterPos(word::wd::GutterPosLeft); });
    }

    void typeOpening() {
        trap.line(156, [&] { font().SetName(QStringLiteral("Arial")); });
        trap.line(158, [&] { alignment(word::wd::AlignParagraphCenter); });
        trap.line(160, [&] { font().SetSize(16); });
        trap.line(162, [&] { font().SetBold(true); });
        trap.line(164, [&] { type(QStringLiteral("Motor Vehicle Bill of Sale")); });
        trap.line(166, [&] { selection().TypeParagraph(); });
        trap.line(168, [&] { selection().TypeParagraph(); });
        trap.line(170, [&] { alignment(word::wd::AlignParagraphLeft); });
        trap.line(172, [&] { font().SetBold(false); });
        trap.line(174, [&] { font().SetSize(11); });
        trap.line(176,
                  [&] { type(QStringLiteral("BE IT KNOWN, that for payment in the sum of $")); });
        underlined(178, "txtAmountOfMotorVehicle");
        trap.line(184, [&] {
            type(QStringLiteral(", the full receipt of which is acknowledged, the undersigned "));
        });
        underlined(186, "txtNameOfSeller");
        trap.line(192, [&] { type(QStringLiteral("(Seller) hereby sells and transfers to ")); });
        underlined(194, "txtNameOfBuyer");
        trap.line(200, [&] {
            type(QStringLiteral("(Buyer), the following described motor vehicle (Vehicle):") +
                 crlf + crlf);
        });
    }

    // Inserts a table at the insertion point and formats it, at lines first to first+16.
    void insertTable(int first, int rows, int columns) {
        std::shared_ptr<word::Table> table;
        trap.line(first, [&] {
            auto range = selection().Range();
            table = need(need(app).ActiveDocument())
                        .Tables()
                        .Add(need(range), rows, columns, word::wd::Word9TableBehavior,
                             word::wd::AutoFitFixed);
        });
        std::shared_ptr<word::Table> held;
        trap.line(first + 2, [&] { held = table; });
        trap.line(first + 4, [&] { need(held).Rows().SetHeightRule(word::wd::RowHeightAtLeast); });
        trap.line(first + 6, [&] { need(held).Rows().SetHeight(inches(0.3)); });
        trap.line(first + 8, [&] { need(held).SetStyle(QStringLiteral("Table Grid")); });
        trap.line(first + 10, [&] { need(held).SetApplyStyleHeadingRows(true); });
        trap.line(first + 12, [&] { need(held).SetApplyStyleLastRow(true); });
        trap.line(first + 14, [&] { need(held).SetApplyStyleFirstColumn(true); });
        trap.line(first + 16, [&] { need(held).SetApplyStyleLastColumn(true); });
    }

    template <std::size_t N> void fillCells(const CellStep (&cells)[N]) {
        for (const CellStep& cell : cells) {
            const int l = cell.line;
            trap.line(l, [&] { font().SetBold(true); });
            trap.line(l + 2, [&] { font().SetSize(8); });
            trap.line(l + 4, [&] {
                selection().Cells().SetVerticalAlignment(word::wd::CellAlignVerticalCenter);
            });
            trap.line(l + 6, [&] {
                QString text = QString::fromLatin1(cell.label);
                if (cell.box)
                    text += value(cell.box);
                type(text);
            });
            if (cell.move)
                trap.line(l + 8, [&] { selection().MoveRight(word::wd::Character, cell.move); });
        }
    }

    void typeConditions() {
        trap.line(300, [&] { font().SetBold(true); });
        trap.line(302, [&] { selection().TypeParagraph(); });
        trap.line(304, [&] {
            type(QStringLiteral(
                "The sale is subject to the following conditions and representations:"));
        });
        trap.line(306, [&] { selection().TypeParagraph(); });
        trap.line(308, [&] { selection().TypeParagraph(); });
        trap.line(310, [&] { font().SetBold(false); });
        trap.line(312, [&] { type(QStringLiteral("Seller acknowledges receipt of $")); });
        underlined(314, "txtDownPayment");
        trap.line(320, [&] {
            type(QStringLiteral("in down payment for the Vehicle, full payment from the Buyer and "
                                "title transfer to take place within "));
        });
        underlined(322, "txtNoDaysTitleTransfer");
        trap.line(328, [&] {
            type(QStringLiteral("days.") + crlf + crlf +
                 QStringLiteral("Seller allows the Buyer "));
        });
        underlined(330, "txtNoDaysVehicleInspected");
        trap.line(336, [&] {
            type(
                QStringLiteral("days to have the Vehicle inspected by an independent mechanic, and "
                               "agrees to cancel the sale if the inspection is unsatisfactory to "
                               "the Buyer.") +
                crlf + crlf +
                QStringLiteral("If the sale is not completed, the Seller will retain $"));
        });
        underlined(338, "txtRetainDownPayment");
        trap.line(344, [&] {
            type(
                QStringLiteral("of the down payment to cover costs and effort in re-advertising.") +
                crlf + crlf + odometerCertification + crlf + crlf + titleWarranty + crlf + crlf +
                conditionStatement + crlf + crlf);
        });
    }

    QString drawTemporaryPath(const DigitSource& digits) {
        QString path;
        bool drawAgain = true;
        while (drawAgain) {
            QString name;
            int digit = 0;
            trap.line(412, [&] { name = QStringLiteral("wendlo"); });
            // The loop's own line: it begins once per draw, so a failure there is reported
            // at 414 and not at the line before it.
            trap.line(414, [] {});
            for (int counter = 1; counter <= 8; ++counter) {
                // Line 416 seeded the generator again on every turn; ours is seeded once.
                trap.line(416, [] {});
                trap.line(418, [&] { digit = digits(); });
                trap.line(420, [&] { name += QString::number(digit); });
                trap.line(422, [] {});
            }
            trap.line(424, [&] {
                path = temporaryFolder() + QLatin1Char('/') + name + QStringLiteral(".doc");
            });
            drawAgain = trap.inlineTest(426, [&] { return FileExists(path); });
        }
        return path;
    }

    // The name was free at line 426, but a file can appear under it before the save: the save
    // never replaces one (it would be someone else's file, or one planted to be overwritten).
    // False when the name was taken meanwhile; a failure is reported and counts as done.
    bool saveUnderFreeName(const QString& path, files::FileHold& hold) {
        bool taken = false;
        hold = files::FileHold(path);
        trap.line(428, [&] { taken = !need(doc).SaveAsNew(path); });
        return !taken;
    }

    void quit() {
        trap.line(430, [&] { need(app).SetDisplayAlerts(false); });
        trap.line(432, [&] { need(doc).Close(); });
        trap.line(434, [&] { need(app).Quit(); });
        trap.line(436, [&] { doc.reset(); });
        trap.line(438, [&] { app.reset(); });
    }

private:
    double inches(double n) { return need(app).InchesToPoints(n); }
    word::Selection& selection() { return need(doc).ActiveWindow().Selection(); }
    word::Font& font() { return selection().Font(); }
    void alignment(int a) { selection().ParagraphFormat().SetAlignment(a); }
    void type(const QString& text) { selection().TypeText(text); }
    QString value(const char* box) const { return record.text(QString::fromLatin1(box)); }

    // Underline on, the padded value, underline off: lines L, L+2, L+4.
    void underlined(int l, const char* box) {
        trap.line(l, [&] { font().SetUnderline(word::wd::UnderlineSingle); });
        trap.line(l + 2, [&] { type(QStringLiteral("  ") + value(box) + QStringLiteral("  ")); });
        trap.line(l + 4, [&] { font().SetUnderline(word::wd::UnderlineNone); });
    }

    word::ApplicationFactory& word;
    const SaleRecordSource& record;
    Trap& trap;
    std::shared_ptr<word::Application> app;
    std::shared_ptr<word::Document> doc;
};

} // namespace

QString wordOpenWarning() {
    return QStringLiteral("Word may be open. It is recommended that you close Word first. Use "
                          "Ctrl+Alt+Del > Task Manager > WINWORD.EXE if necessary.") +
           crlf + crlf + QStringLiteral("Would you like to proceed anyway?");
}

bool IsWordRunning(word::ApplicationFactory& word) {
    if (word.NoneRunning())
        return false;
    try {
        const std::shared_ptr<word::Application> running = word.GetRunning();
        return running && running->Name() == QStringLiteral("Microsoft Word");
    } catch (...) {
        return false;
    }
}

bool WarnIfWordOpen(word::ApplicationFactory& word) {
    if (!IsWordRunning(word))
        return false;
    return showMessage(wordOpenWarning(), Buttons::YesNo, Icon::None) != Answer::Yes;
}

Generation GenerateMotorVehicle(word::ApplicationFactory& word, const SaleRecordSource& record,
                                const HandOff& handOff, const DigitSource& digits) {
    Trap trap(Procedure::MotorVehicleBill_GenerateMotorVehicle);
    Generation result;
    if (trap.inlineTest(100, [&] { return WarnIfWordOpen(word); })) {
        result.abandoned = true;
        return result;
    }
    Script script(word, record, trap);
    script.createDocument();
    script.setUpPage();
    script.typeOpening();
    script.insertTable(202, 4, 2);
    script.fillCells(vehicleCells);
    script.typeConditions();
    script.insertTable(346, 5, 1);
    script.fillCells(signatureCells);
    result.path = script.drawTemporaryPath(digits);
    // A name taken between the check and the save is drawn again, whole.
    for (int draws = 1; !script.saveUnderFreeName(result.path, result.hold); ++draws) {
        if (draws == maxNameDraws) {
            trap.line(428, [&] {
                throw Failure(QStringLiteral("File already exists: %1").arg(result.path));
            });
            break;
        }
        result.path = script.drawTemporaryPath(digits);
    }
    script.quit();
    if (handOff)
        handOff(trap, result.path);
    return result;
}

} // namespace MotorVehicleBill
