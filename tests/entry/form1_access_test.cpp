// What a screen reader learns about the entry window, read back through Qt's accessibility
// interface (the one AT-SPI serves on Linux).
#include "FindControl.h"
#include "Form1.h"
#include "SaleFields.h"
#include "TextBox.h"

#include <QAccessible>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <gtest/gtest.h>

namespace {

QString accessibleText(QWidget* widget, QAccessible::Text which) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(which) : QStringLiteral("<no interface>");
}

class EntryAccess : public ::testing::Test {
protected:
    void SetUp() override {
        Form1::Services s;
        s.readSetting = [this](const QString& key) { return store.value(key); };
        s.writeSetting = [this](const QString& key, const QString& v) { store.insert(key, v); };
        s.checkWordInstalled = [] {};
        s.generate = [](const SaleRecordSource&) {};
        s.endProgram = [] {};
        form = std::make_unique<Form1>(s);
        form->Form_Load();
        form->show();
    }

    QHash<QString, QString> store;
    std::unique_ptr<Form1> form;
};

TEST_F(EntryAccess, EveryBoxIsNamedByItsLabel) {
    struct Case {
        const char* box;
        const char* name;
    };
    // The labels with their colons dropped; the amount's box has no label of its own.
    const Case cases[] = {{"txtNameOfBuyer", "Name Of Buyer"},
                          {"txtNoDaysTitleTransfer", "No Of Days Title Transfer"},
                          {"txtModel", "Model/Series"},
                          {"txtTitle", "Title #"},
                          {"txtOdometer", "Odometer Reading"},
                          {"txtAmountOfMotorVehicle", "Amount Of Motor Vehicle"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        TextBox* box = control<TextBox>(*form, c.box);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(accessibleText(box, QAccessible::Name), QString::fromLatin1(c.name));
    }

    QSet<QString> names;
    for (const SaleField& field : saleFields()) {
        SCOPED_TRACE(field.box);
        TextBox* box = control<TextBox>(*form, field.boxName());
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(box);
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->role(), QAccessible::EditableText);
        const QString name = iface->text(QAccessible::Name);
        EXPECT_FALSE(name.isEmpty());
        EXPECT_FALSE(name.endsWith(QLatin1Char(':')));
        names.insert(name);
        if (field.captionText().isEmpty())
            continue;
        // The label beside the box is tied to it, and assistive tools see the tie.
        QLabel* label = nullptr;
        for (QLabel* candidate : form->findChildren<QLabel*>())
            if (candidate->text() == field.captionText())
                label = candidate;
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->buddy(), box);
        bool related = false;
        for (const auto& [other, relation] : iface->relations(QAccessible::Label))
            related = related || other->object() == label;
        EXPECT_TRUE(related);
    }
    EXPECT_EQ(names.size(), saleFieldCount); // no two boxes sound alike
}

TEST_F(EntryAccess, TheButtonsAreNamedByTheirCaptions) {
    const std::pair<const char*, const char*> cases[] = {
        {"PushButton1", "Start Creating Template"},
        {"PushButton2", "Clear/Reset Data"},
        {"PushButton3", "Load Sample/Example Data"}};
    for (const auto& [name, caption] : cases) {
        SCOPED_TRACE(caption);
        QPushButton* button = control<QPushButton>(*form, name);
        EXPECT_EQ(accessibleText(button, QAccessible::Name), QString::fromLatin1(caption));
        EXPECT_EQ(button->text(), QString::fromLatin1(caption)); // the caption is unchanged
    }
}

// A screen reader announces the window as one and walks its tree: each label, then its box,
// in the order of the screen, which is also the order of Tab.
TEST_F(EntryAccess, TheWindowReadsInTheOrderOfTheScreen) {
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(form.get());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Window);
    QStringList boxes;
    QString label;
    for (QAccessibleInterface* node : accessibleTree(window)) {
        if (node->role() == QAccessible::StaticText) {
            label = node->text(QAccessible::Name);
        } else if (node->role() == QAccessible::EditableText) {
            const QString name = node->text(QAccessible::Name);
            if (!label.isEmpty()) {
                EXPECT_EQ(label.toStdString(), (name + QLatin1Char(':')).toStdString());
            }
            boxes << name;
            label.clear();
        }
    }
    EXPECT_EQ(boxes.join(QStringLiteral(" | ")).toStdString(),
              "Amount Of Motor Vehicle | Name Of Seller | Name Of Buyer | Name Of Witness | Make "
              "| Model/Series | Year | Color | VIN # | Style | Odometer Reading | Title # | Down "
              "Payment Amount | No Of Days Title Transfer | Retain Of Down Payment | Days Vehicle "
              "Inspected");
}

} // namespace
