#include "RecordingWord.h"

#include <QPainter>

namespace {

QString boolText(bool b) {
    return b ? QStringLiteral("true") : QStringLiteral("false");
}

QString num(double d) {
    return QString::number(d);
}

class Base {
public:
    explicit Base(RecordingWord& w) : word(w) {}

protected:
    void rec(const QString& operation) const { word.record(operation); }
    RecordingWord& word;
};

class FakeFont : public word::Font, Base {
public:
    using Base::Base;
    QString Name() const override { return name; }
    void SetName(const QString& v) override {
        rec(QStringLiteral("Selection.Font.Name=") + v), name = v;
    }
    double Size() const override { return size; }
    void SetSize(double v) override {
        rec(QStringLiteral("Selection.Font.Size=") + num(v)), size = v;
    }
    bool Bold() const override { return bold; }
    void SetBold(bool v) override {
        rec(QStringLiteral("Selection.Font.Bold=") + boolText(v)), bold = v;
    }
    int Underline() const override { return underline; }
    void SetUnderline(int v) override {
        rec(QStringLiteral("Selection.Font.Underline=") + num(v)), underline = v;
    }

private:
    QString name;
    double size = 0;
    bool bold = false;
    int underline = 0;
};

class FakeParagraphFormat : public word::ParagraphFormat, Base {
public:
    using Base::Base;
    int Alignment() const override { return alignment; }
    void SetAlignment(int v) override {
        rec(QStringLiteral("Selection.ParagraphFormat.Alignment=") + num(v)), alignment = v;
    }

private:
    int alignment = 0;
};

class FakeCells : public word::Cells, Base {
public:
    using Base::Base;
    void SetVerticalAlignment(int v) override {
        rec(QStringLiteral("Selection.Cells.VerticalAlignment=") + num(v));
    }
};

class FakeRange : public word::Range, Base {
public:
    FakeRange(RecordingWord& w, QString owner) : Base(w), who(std::move(owner)) {}
    void CopyAsPicture() override { rec(who + QStringLiteral(".CopyAsPicture")); }
    QString who;
};

class FakeSelection : public word::Selection, Base {
public:
    explicit FakeSelection(RecordingWord& w) : Base(w), font(w), paragraph(w), cells(w) {}
    word::Font& Font() override { return font; }
    word::ParagraphFormat& ParagraphFormat() override { return paragraph; }
    word::Cells& Cells() override { return cells; }
    std::shared_ptr<word::Range> Range() override {
        rec(QStringLiteral("Selection.Range"));
        return std::make_shared<FakeRange>(word, QStringLiteral("Selection.Range"));
    }
    void TypeText(const QString& text) override {
        rec(QStringLiteral("Selection.TypeText(") + text + u')');
    }
    void TypeParagraph() override { rec(QStringLiteral("Selection.TypeParagraph")); }
    void MoveRight(int unit, int count) override {
        rec(QStringLiteral("Selection.MoveRight(%1,%2)").arg(unit).arg(count));
    }
    void GoTo(int what, int which, const QVariant& name) override {
        rec(QStringLiteral("Selection.GoTo(%1,%2,%3)").arg(what).arg(which).arg(name.toString()));
    }
    void HomeKey(int unit, int extend) override {
        rec(QStringLiteral("Selection.HomeKey(%1,%2)").arg(unit).arg(extend));
    }
    void EndKey(int unit, int extend) override {
        rec(QStringLiteral("Selection.EndKey(%1,%2)").arg(unit).arg(extend));
    }
    void Delete(int unit, int count) override {
        rec(QStringLiteral("Selection.Delete(%1,%2)").arg(unit).arg(count));
    }

private:
    FakeFont font;
    FakeParagraphFormat paragraph;
    FakeCells cells;
};

class FakeLineNumbering : public word::LineNumbering, Base {
public:
    using Base::Base;
    void SetActive(bool v) override {
        rec(QStringLiteral("PageSetup.LineNumbering.Active=") + boolText(v));
    }
};

QString text(int v) {
    return QString::number(v);
}
QString text(double v) {
    return QString::number(v);
}
QString text(bool v) {
    return boolText(v);
}

class FakePageSetup : public word::PageSetup, Base {
public:
    explicit FakePageSetup(RecordingWord& w) : Base(w), numbering(w) {}
    word::LineNumbering& LineNumbering() override { return numbering; }
#define FAKE_SETTER(name, type)                                                                    \
    void Set##name(type value) override {                                                          \
        rec(QStringLiteral("PageSetup." #name "=") + text(value));                                 \
    }
    WORD_PAGE_SETUP_PROPERTIES(FAKE_SETTER)
#undef FAKE_SETTER

private:
    FakeLineNumbering numbering;
};

class FakeRows : public word::Rows, Base {
public:
    using Base::Base;
    void SetHeightRule(int v) override { rec(QStringLiteral("Rows.HeightRule=") + num(v)); }
    void SetHeight(double v) override { rec(QStringLiteral("Rows.Height=") + num(v)); }
};

class FakeTable : public word::Table, Base {
public:
    explicit FakeTable(RecordingWord& w) : Base(w), rows(w) {}
    word::Rows& Rows() override { return rows; }
    void SetStyle(const QString& v) override { rec(QStringLiteral("Table.Style=") + v); }
    void SetApplyStyleHeadingRows(bool v) override {
        rec(QStringLiteral("Table.ApplyStyleHeadingRows=") + boolText(v));
    }
    void SetApplyStyleLastRow(bool v) override {
        rec(QStringLiteral("Table.ApplyStyleLastRow=") + boolText(v));
    }
    void SetApplyStyleFirstColumn(bool v) override {
        rec(QStringLiteral("Table.ApplyStyleFirstColumn=") + boolText(v));
    }
    void SetApplyStyleLastColumn(bool v) override {
        rec(QStringLiteral("Table.ApplyStyleLastColumn=") + boolText(v));
    }

private:
    FakeRows rows;
};

class FakeTables : public word::Tables, Base {
public:
    using Base::Base;
    std::shared_ptr<word::Table> Add(word::Range& range, int numRows, int numColumns, int behavior,
                                     int autoFit) override {
        rec(QStringLiteral("Tables.Add(%1,%2,%3,%4,%5)")
                .arg(static_cast<FakeRange&>(range).who)
                .arg(numRows)
                .arg(numColumns)
                .arg(behavior)
                .arg(autoFit));
        return std::make_shared<FakeTable>(word);
    }
};

class FakeWindow : public word::Window {
public:
    explicit FakeWindow(RecordingWord& w) : selection(w) {}
    word::Selection& Selection() override { return selection; }
    FakeSelection selection;
};

class FakeDocument : public word::Document, Base {
public:
    explicit FakeDocument(RecordingWord& w) : Base(w), setup(w), window(w), tables(w) {}
    word::PageSetup& PageSetup() override { return setup; }
    word::Window& ActiveWindow() override { return window; }
    word::Tables& Tables() override { return tables; }
    std::shared_ptr<word::Range> Range() override {
        rec(QStringLiteral("Document.Range"));
        return std::make_shared<FakeRange>(word, QStringLiteral("Document.Range"));
    }
    void SaveAs(const QString& path) override {
        rec(QStringLiteral("Document.SaveAs(") + path + u')');
    }
    void Close() override { rec(QStringLiteral("Document.Close")); }
    void Close(int saveChanges) override {
        rec(QStringLiteral("Document.Close(%1)").arg(saveChanges));
    }
    void Repaginate() override { rec(QStringLiteral("Document.Repaginate")); }
    QVariant BuiltInDocumentProperties(int index) override {
        rec(QStringLiteral("Document.BuiltInDocumentProperties(%1)").arg(index));
        return word.pages;
    }

    FakePageSetup setup;
    FakeWindow window;
    FakeTables tables;
};

class FakeDocuments : public word::Documents, Base {
public:
    FakeDocuments(RecordingWord& w, std::shared_ptr<FakeDocument>& a) : Base(w), active(a) {}
    std::shared_ptr<word::Document> Add() override {
        rec(QStringLiteral("Documents.Add"));
        return active = std::make_shared<FakeDocument>(word);
    }
    std::shared_ptr<word::Document> Open(const QString& path) override {
        rec(QStringLiteral("Documents.Open(") + path + u')');
        return active = std::make_shared<FakeDocument>(word);
    }

private:
    std::shared_ptr<FakeDocument>& active;
};

class FakeApplication : public word::Application, Base {
public:
    FakeApplication(RecordingWord& w, QString n)
        : Base(w), name(std::move(n)), documents(w, active) {}
    QString Name() const override {
        rec(QStringLiteral("Application.Name"));
        return name;
    }
    word::Documents& Documents() override { return documents; }
    std::shared_ptr<word::Document> ActiveDocument() override {
        rec(QStringLiteral("ActiveDocument"));
        if (!active)
            throw word::Error(
                QStringLiteral("This command is not available because no document is open."));
        return active;
    }
    double InchesToPoints(double inches) override {
        rec(QStringLiteral("InchesToPoints(") + num(inches) + u')');
        return inches * 72;
    }
    void SetDisplayAlerts(bool on) override {
        rec(QStringLiteral("DisplayAlerts=") + boolText(on));
    }
    void Quit() override { rec(QStringLiteral("Quit")); }
    word::Selection& Selection() override {
        if (!active)
            throw word::Error(
                QStringLiteral("This command is not available because no document is open."));
        return active->window.selection;
    }

private:
    QString name;
    std::shared_ptr<FakeDocument> active;
    FakeDocuments documents;
};

class FakeClipboard : public word::Clipboard, Base {
public:
    using Base::Base;
    QPicture GetData(int format) override {
        rec(QStringLiteral("Clipboard.GetData(%1)").arg(format));
        QPicture picture;
        {
            QPainter painter(&picture);
            painter.fillRect(QRect(0, 0, 1440, 720), Qt::white);
            painter.drawRect(QRect(10, 10, 100, 100));
        }
        return picture;
    }
};

} // namespace

struct RecordingWord::Objects {
    explicit Objects(RecordingWord& w) : clipboard(w) {}
    FakeClipboard clipboard;
};

RecordingWord::RecordingWord() : objects(std::make_unique<Objects>(*this)) {}
RecordingWord::~RecordingWord() = default;

void RecordingWord::record(const QString& operation) {
    log.append(operation);
    if (failWhen && failWhen(operation))
        throw word::Error(QStringLiteral("Injected failure of ") + operation);
}

QStringList RecordingWord::entries(const QString& prefix) const {
    QStringList out;
    for (const QString& entry : log)
        if (entry.startsWith(prefix))
            out.append(entry);
    return out;
}

std::shared_ptr<word::Application> RecordingWord::CreateNew() {
    record(QStringLiteral("CreateNew"));
    return std::make_shared<FakeApplication>(*this, QStringLiteral("Microsoft Word"));
}

std::shared_ptr<word::Application> RecordingWord::GetRunning() {
    record(QStringLiteral("GetRunning"));
    if (runningName.isEmpty())
        throw word::Error(QStringLiteral("ActiveX component can't create object"));
    return std::make_shared<FakeApplication>(*this, runningName);
}

word::Clipboard& RecordingWord::Clipboard() {
    return objects->clipboard;
}
