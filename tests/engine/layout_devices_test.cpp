// Drawing chosen pages onto a paged device: which pages, stopping between pages, failures.
#include "BillOfSaleModel.h"
#include "Layout.h"

#include <QBuffer>
#include <QPageRanges>
#include <QPdfWriter>
#include <gtest/gtest.h>

using namespace wordengine;

namespace {

int pdfPages(const QByteArray& pdf) {
    return int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "));
}

TEST(LayoutDevices, DrawsTheChosenPagesAndStopsWhenAsked) {
    const Document doc = billofsale::buildDocument(billofsale::longRecord(3));
    ASSERT_EQ(paginate(doc).pageCount(), 3);
    const auto ranges = [](const char* text) {
        return QPageRanges::fromString(QLatin1String(text));
    };
    struct Case {
        const char* what;
        QPageRanges chosen;
        int stopBefore; // the page (from 0) before which goOn answers false; -1 never
        DrawOutcome outcome;
        int pages;
        std::vector<int> asked; // pages drawn, each time goOn was asked
    };
    const Case cases[] = {
        {"every page", {}, -1, DrawOutcome::Done, 3, {0, 1, 2}},
        {"pages 2 and 3", ranges("2-3"), -1, DrawOutcome::Done, 2, {0, 1}},
        {"pages 1 and 3, and 7 past the end", ranges("1,3,7"), -1, DrawOutcome::Done, 2, {0, 1}},
        {"only pages past the end: nothing begun", ranges("5-9"), -1, DrawOutcome::Done, 0, {}},
        {"stopped before the second page", {}, 1, DrawOutcome::Stopped, 1, {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QBuffer buffer;
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
        QPdfWriter writer(&buffer);
        std::vector<int> asked;
        const DrawOutcome outcome = drawPages(doc, writer, c.chosen, [&](int drawn, int total) {
            asked.push_back(drawn);
            EXPECT_EQ(total, int(c.asked.size()) + (c.stopBefore >= 0 ? 1 : 0));
            return drawn != c.stopBefore;
        });
        EXPECT_EQ(outcome, c.outcome);
        EXPECT_EQ(pdfPages(buffer.data()), c.pages);
        EXPECT_EQ(asked, c.asked);
    }
}

// A PDF writer that has no paint engine to give, or refuses a new page.
class FaultyWriter : public QPdfWriter {
public:
    FaultyWriter(QIODevice* device, bool withoutEngine, bool refusingPages)
        : QPdfWriter(device), noEngine(withoutEngine), noNewPage(refusingPages) {}
    bool newPage() override { return !noNewPage && QPdfWriter::newPage(); }

protected:
    QPaintEngine* paintEngine() const override {
        return noEngine ? nullptr : QPdfWriter::paintEngine();
    }

private:
    bool noEngine, noNewPage;
};

TEST(LayoutDevices, ADeviceThatCannotBeginOrTurnThePageFails) {
    const Document doc = billofsale::buildDocument(billofsale::longRecord(3));
    for (const bool noEngine : {true, false}) {
        SCOPED_TRACE(noEngine ? "cannot begin" : "cannot turn the page");
        QBuffer buffer;
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
        FaultyWriter writer(&buffer, noEngine, !noEngine);
        EXPECT_EQ(drawPages(doc, writer, {}), DrawOutcome::Failed);
    }
}

} // namespace
