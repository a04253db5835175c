#include "IniText.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString section = QStringLiteral("Vantorel");

// Values that need quoting, escapes, or QSettings' own notation.
const QString oddValues[] = {
    QString(),
    QStringLiteral("$2900.00"),
    QStringLiteral("55,000"),
    QStringLiteral("  blanks both sides  "),
    QStringLiteral("\"quoted\" and 'single'"),
    QStringLiteral("= ; % # [section] key=value"),
    QStringLiteral("C:\\Program Files\\Other\\"),
    QStringLiteral("line one\nline two\r\nthree\rfour"),
    QStringLiteral("\ttabbed\t\a\b\f\v\x01\x1f"
                   "0a"),
    QStringLiteral("@Variant(garbage)"),
    QStringLiteral("@@"),
    QStringLiteral("@String(x)"),
    QString(QStringLiteral("nul\0inside")).append(QChar(0)).append(QStringLiteral("9F")),
    QStringLiteral("Кирилл العربية 漢字 😀🚗"),
    QStringLiteral(";starts a comment"),
    QStringLiteral("\uFEFFa byte-order mark first"),
};

QString settingsFile(const QTemporaryDir& dir) {
    return dir.filePath(QStringLiteral("s.ini"));
}

TEST(IniText, WhatWeWriteQSettingsReadsAndTheOtherWayRound) {
    int n = 0;
    for (const QString& value : oddValues) {
        SCOPED_TRACE(n++);
        const QString key = QStringLiteral("Name Of Buyer/%1").arg(n);
        QTemporaryDir dir;
        {
            QSettings theirs(settingsFile(dir), QSettings::IniFormat);
            theirs.setValue(section + QLatin1Char('/') + QStringLiteral("Other Key"), value);
            theirs.sync();
        }
        QFile file(settingsFile(dir));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        const QByteArray written = file.readAll();
        EXPECT_EQ(ini::value(written, section, QStringLiteral("Other Key")), value);

        const QByteArray ours = ini::withValue(written, section, key, value);
        file.resize(0);
        file.write(ours);
        file.close();
        QSettings again(settingsFile(dir), QSettings::IniFormat);
        const QVariant back = again.value(section + QLatin1Char('/') + key);
        EXPECT_EQ(back.typeId(), QMetaType::QString);
        EXPECT_EQ(back.toString(), value);
        EXPECT_EQ(ini::value(ours, section, key), value);
    }
}

TEST(IniText, OnlyTheLinesOfTheKeyChange) {
    const QByteArray foreign = "; settings of every Marrowind program\n"
                               "[Other Program]\n"
                               "Path=C:\\Program Files\\Other\n"
                               "  odd spacing  =  kept   ; and a comment\n";
    struct Case {
        const char* name;
        QByteArray before;
        QString key;
        QByteArray after;
    };
    const Case cases[] = {
        {"a new section at the end", foreign, QStringLiteral("Make"),
         foreign + "\n[Vantorel]\nMake=Ford\n"},
        {"a file without a last line end", "[Other Program]\nX=1", QStringLiteral("Make"),
         "[Other Program]\nX=1\n\n[Vantorel]\nMake=Ford\n"},
        {"a key added after the section's last key, before blank lines",
         "[Vantorel]\nModel=T\n\n[Other Program]\nY=2\n", QStringLiteral("Name Of Buyer"),
         "[Vantorel]\nModel=T\nName%20Of%20Buyer=Ford\n\n[Other Program]\nY=2\n"},
        {"a key replaced in place, line ends kept",
         "[Other]\r\nMake=Opel\r\n[Vantorel]\r\nMake=Opel ; old\r\nVIN=1\r\n",
         QStringLiteral("Make"), "[Other]\r\nMake=Opel\r\n[Vantorel]\r\nMake=Ford\r\nVIN=1\r\n"},
        {"CRLF for a new line in a CRLF file", "[Vantorel]\r\nVIN=1\r\n", QStringLiteral("Make"),
         "[Vantorel]\r\nVIN=1\r\nMake=Ford\r\n"},
        {"every copy of a repeated key", "[Vantorel]\nMake=a\n[Vantorel]\nMake=b\n",
         QStringLiteral("Make"), "[Vantorel]\nMake=Ford\n[Vantorel]\nMake=Ford\n"},
        {"a key spelled by hand", "[Vantorel]\n Name Of Buyer = x\n",
         QStringLiteral("Name Of Buyer"), "[Vantorel]\nName%20Of%20Buyer=Ford\n"},
        {"a byte-order mark kept, with CRLF", "\xEF\xBB\xBF[Vantorel]\r\nMake=Opel\r\n",
         QStringLiteral("Make"), "\xEF\xBB\xBF[Vantorel]\r\nMake=Ford\r\n"},
        {"a byte-order mark alone", "\xEF\xBB\xBF", QStringLiteral("Make"),
         "\xEF\xBB\xBF[Vantorel]\nMake=Ford\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ini::withValue(c.before, section, c.key, QStringLiteral("Ford")), c.after);
    }
}

TEST(IniText, ReadsWhatPeopleWriteByHand) {
    struct Case {
        QByteArray text;
        std::optional<QString> make;
    };
    const Case cases[] = {
        {"[Vantorel]\nMake = Ford  \n", QStringLiteral("Ford")},
        {"[Vantorel]\nMake=\"  Ford \"\n", QStringLiteral("  Ford ")},
        {"[Vantorel]\nMake=Ford ; comment\n", QStringLiteral("Ford")},
        {"[Vantorel]\nMake=a,b\n", std::nullopt},            // a list
        {"[Vantorel]\nMake=@Rect(1 2 3 4)\n", std::nullopt}, // another type
        {"[Vantorel]\nMake=Opel\nMake=Ford\n", QStringLiteral("Ford")},
        {"[Other]\nMake=Ford\n", std::nullopt},
        {"Make=Ford\n", std::nullopt},
        {"[Vantorel]\nMake=\"unterminated\n", QStringLiteral("unterminated")},
        {"[Vantorel\nMake=Ford\n", QStringLiteral("Ford")},
        {"\xEF\xBB\xBF[Vantorel]\nMake=Ford\n", QStringLiteral("Ford")},
        {"\xEF\xBB\xBF[Vantorel]\r\nMake=Ford\r\n", QStringLiteral("Ford")},
        {"[Vantorel]\nMake=\xEF\xBB\xBF"
         "Ford\n",
         QStringLiteral("\uFEFFFord")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini::value(c.text, section, QStringLiteral("Make")), c.make) << c.text.data();
}

} // namespace
