#pragma once
// The automation interface: the members of Word's object model that Vantorel drives, as
// abstract C++ classes. The engine implements them (Engine.h); tests put recording fakes in
// their place. Enumerated values are Word's plain numbers (see namespace wd).
//
// Every member may fail. A failure is a word::Error whose what() is the description in
// Word's manner, UTF-8 encoded ("This command is not available.").

#include <QPicture>
#include <QString>
#include <QVariant>
#include <memory>
#include <stdexcept>

namespace word {

class Error : public std::runtime_error {
public:
    explicit Error(const QString& description)
        : std::runtime_error(description.toUtf8().toStdString()) {}
    QString description() const { return QString::fromUtf8(what()); }
};

// The numbers of Word's enumerations that the program uses.
namespace wd {
enum : int {
    OrientPortrait = 0,
    OrientLandscape = 1,
    AlignParagraphLeft = 0,
    AlignParagraphCenter = 1,
    AlignParagraphRight = 2,
    AlignParagraphJustify = 3,
    UnderlineNone = 0,
    UnderlineSingle = 1,
    CellAlignVerticalTop = 0,
    CellAlignVerticalCenter = 1,
    CellAlignVerticalBottom = 3,
    RowHeightAuto = 0,
    RowHeightAtLeast = 1,
    RowHeightExactly = 2,
    Word8TableBehavior = 0,
    Word9TableBehavior = 1,
    AutoFitFixed = 0,
    AutoFitContent = 1,
    AutoFitWindow = 2,
    Character = 1,
    Story = 6,
    GoToPage = 1,
    GoToNext = 2,
    Move = 0,
    Extend = 1,
    DoNotSaveChanges = 0,
    PropertyPages = 14,
    PrinterDefaultBin = 0,
    SectionNewPage = 2,
    AlignVerticalTop = 0,
    GutterPosLeft = 0,
    GutterPosTop = 1,
    GutterPosRight = 2,
};
} // namespace wd

class Font {
public:
    virtual ~Font() = default;
    virtual QString Name() const = 0;
    virtual void SetName(const QString& name) = 0;
    virtual double Size() const = 0;
    virtual void SetSize(double points) = 0;
    virtual bool Bold() const = 0;
    virtual void SetBold(bool bold) = 0;
    virtual int Underline() const = 0;
    virtual void SetUnderline(int underline) = 0;
};

class ParagraphFormat {
public:
    virtual ~ParagraphFormat() = default;
    virtual int Alignment() const = 0;
    virtual void SetAlignment(int alignment) = 0;
};

class Cells {
public:
    virtual ~Cells() = default;
    virtual void SetVerticalAlignment(int alignment) = 0;
};

class Range {
public:
    virtual ~Range() = default;
    // Puts a picture of the range on the engine's own clipboard (never the desktop's).
    virtual void CopyAsPicture() = 0;
};

class Selection {
public:
    virtual ~Selection() = default;
    virtual word::Font& Font() = 0;
    virtual word::ParagraphFormat& ParagraphFormat() = 0;
    virtual word::Cells& Cells() = 0;
    virtual std::shared_ptr<word::Range> Range() = 0;
    virtual void TypeText(const QString& text) = 0;
    virtual void TypeParagraph() = 0;
    virtual void MoveRight(int unit, int count) = 0;
    virtual void GoTo(int what, int which, const QVariant& name) = 0;
    virtual void HomeKey(int unit, int extend) = 0;
    virtual void EndKey(int unit, int extend) = 0;
    virtual void Delete(int unit, int count) = 0;
};

// The page setup's properties, one row each: name, C++ type.
#define WORD_PAGE_SETUP_PROPERTIES(X)                                                              \
    X(Orientation, int)                                                                            \
    X(TopMargin, double)                                                                           \
    X(BottomMargin, double)                                                                        \
    X(LeftMargin, double)                                                                          \
    X(RightMargin, double)                                                                         \
    X(Gutter, double)                                                                              \
    X(HeaderDistance, double)                                                                      \
    X(FooterDistance, double)                                                                      \
    X(PageWidth, double)                                                                           \
    X(PageHeight, double)                                                                          \
    X(FirstPageTray, int)                                                                          \
    X(OtherPagesTray, int)                                                                         \
    X(SectionStart, int)                                                                           \
    X(OddAndEvenPagesHeaderFooter, bool)                                                           \
    X(DifferentFirstPageHeaderFooter, bool)                                                        \
    X(VerticalAlignment, int)                                                                      \
    X(SuppressEndnotes, bool)                                                                      \
    X(MirrorMargins, bool)                                                                         \
    X(TwoPagesOnOne, bool)                                                                         \
    X(BookFoldPrinting, bool)                                                                      \
    X(BookFoldRevPrinting, bool)                                                                   \
    X(BookFoldPrintingSheets, int)                                                                 \
    X(GutterPos, int)

class LineNumbering {
public:
    virtual ~LineNumbering() = default;
    virtual void SetActive(bool active) = 0;
};

class PageSetup {
public:
    virtual ~PageSetup() = default;
    virtual word::LineNumbering& LineNumbering() = 0;
#define WORD_DECLARE_SETTER(name, type) virtual void Set##name(type value) = 0;
    WORD_PAGE_SETUP_PROPERTIES(WORD_DECLARE_SETTER)
#undef WORD_DECLARE_SETTER
};

class Rows {
public:
    virtual ~Rows() = default;
    virtual void SetHeightRule(int rule) = 0;
    virtual void SetHeight(double points) = 0;
};

class Table {
public:
    virtual ~Table() = default;
    virtual word::Rows& Rows() = 0;
    virtual void SetStyle(const QString& style) = 0;
    virtual void SetApplyStyleHeadingRows(bool on) = 0;
    virtual void SetApplyStyleLastRow(bool on) = 0;
    virtual void SetApplyStyleFirstColumn(bool on) = 0;
    virtual void SetApplyStyleLastColumn(bool on) = 0;
};

class Tables {
public:
    virtual ~Tables() = default;
    virtual std::shared_ptr<word::Table> Add(word::Range& range, int numRows, int numColumns,
                                             int defaultTableBehavior, int autoFitBehavior) = 0;
};

class Window {
public:
    virtual ~Window() = default;
    virtual word::Selection& Selection() = 0;
};

class Document {
public:
    virtual ~Document() = default;
    virtual word::PageSetup& PageSetup() = 0;
    virtual word::Window& ActiveWindow() = 0;
    virtual word::Tables& Tables() = 0;
    virtual std::shared_ptr<word::Range> Range() = 0; // the whole body story
    virtual void SaveAs(const QString& path) = 0;
    // Saves under `path` without ever replacing what is there: false, with nothing written,
    // when the name is taken by the time the file would appear; other failures throw as for
    // SaveAs. An implementation that writes files must override it and publish the file in
    // one step that fails on an existing name; the default, for those that keep no files,
    // saves as SaveAs does.
    virtual bool SaveAsNew(const QString& path) {
        SaveAs(path);
        return true;
    }
    virtual void Close() = 0;
    virtual void Close(int saveChanges) = 0;
    virtual void Repaginate() = 0;
    virtual QVariant BuiltInDocumentProperties(int index) = 0;
};

class Documents {
public:
    virtual ~Documents() = default;
    virtual std::shared_ptr<word::Document> Add() = 0;
    virtual std::shared_ptr<word::Document> Open(const QString& path) = 0;
};

class Application {
public:
    virtual ~Application() = default;
    virtual QString Name() const = 0; // the default property
    virtual word::Documents& Documents() = 0;
    virtual std::shared_ptr<word::Document> ActiveDocument() = 0;
    virtual double InchesToPoints(double inches) = 0;
    virtual void SetDisplayAlerts(bool on) = 0;
    virtual void Quit() = 0;
    virtual word::Selection& Selection() = 0;
};

// The engine's own clipboard, which Range::CopyAsPicture fills. It is private to the
// process, so nothing else on the desktop can change what is read between copy and read.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // The picture last copied; format 0 lets the clipboard pick. Fails when it holds none.
    virtual QPicture GetData(int format) = 0;
    // The text of what the picture shows, one line of it to a line, for those who cannot see
    // the picture; empty when the clipboard holds none. Never fails.
    virtual QString GetText() { return {}; }
};

// How applications come into being: "create new" and "get running", and the clipboard
// they copy to.
class ApplicationFactory {
public:
    virtual ~ApplicationFactory() = default;
    virtual std::shared_ptr<Application> CreateNew() = 0;
    virtual std::shared_ptr<Application> GetRunning() = 0;
    virtual word::Clipboard& Clipboard() = 0;
    // True when "get running" is known to fail without asking it: a failure is an exception,
    // which a run making document after document would otherwise raise for each of them.
    virtual bool NoneRunning() { return false; }
};

} // namespace word
