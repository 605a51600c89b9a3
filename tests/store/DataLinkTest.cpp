// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "DataLink.h"
#include "StoreError.h"
#include "StoreTestFiles.h"

namespace velkora {
namespace {

QByteArray Utf16Le(const QString& text) {
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

std::string FailureOf(const QByteArray& bytes) {
    try {
        ParseDataLink(bytes, "test.udl");
    } catch (const StoreError& e) {
        return e.what();
    }
    return "(no failure)";
}

struct GoodCase {
    const char* name;
    QByteArray bytes;
    QString provider;
    QString dataSource;
};

TEST(DataLinkTest, ReadsTheUsualForms) {
    const GoodCase cases[] = {
        {"usual file",
         "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
         "Provider=SQLite;Data Source=velkora.db\r\n",
         "SQLite", "velkora.db"},
        {"no header, no comment", "Provider=SQLite;Data Source=a.db", "SQLite", "a.db"},
        {"keys in any case", "PROVIDER=SQLite;data source=b.db", "SQLite", "b.db"},
        {"blanks trimmed", "  Provider = SQLite ;  Data Source =  my designs.db  ;", "SQLite",
         "my designs.db"},
        {"quoted value keeps ; and blanks", "Provider=SQLite;Data Source=\" x;y.db \"", "SQLite",
         " x;y.db "},
        {"doubled quote in quotes", "Provider=SQLite;Data Source=\"a\"\"b.db\"", "SQLite",
         "a\"b.db"},
        {"other keys kept", "Provider=SQLite;Persist Security Info=False;Data Source=c.db",
         "SQLite", "c.db"},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBFProvider=SQLite;Data Source=d.db", "SQLite", "d.db"},
        {"UTF-8 name", "Provider=SQLite;Data Source=antenne_\xC3\xA0.db", "SQLite",
         QString::fromUtf8("antenne_\xC3\xA0.db")},
        {"UTF-16 LE with its mark",
         Utf16Le(
             QString::fromUtf8("[oledb]\r\n; c\r\nProvider=SQLite;Data Source=\xC3\xA9.db\r\n")),
         "SQLite", QString::fromUtf8("\xC3\xA9.db")},
        {"blank lines around", "\n\n[OLEDB]\n\n  Provider=SQLite;Data Source=e.db  \n\n", "SQLite",
         "e.db"},
    };
    for (const GoodCase& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            const DataLink link = ParseDataLink(c.bytes, "test.udl");
            EXPECT_EQ(link.provider, c.provider);
            EXPECT_EQ(link.dataSource, c.dataSource);
            EXPECT_EQ(link.file, "test.udl");
        } catch (const StoreError& e) {
            ADD_FAILURE() << e.what();
        }
    }
}

TEST(DataLinkTest, OtherKeysAreKeptByLowerCaseName) {
    const DataLink link =
        ParseDataLink("Provider=SQLite;Data Source=x.db;User ID = \"Admin\"", "t.udl");
    EXPECT_EQ(link.Property("user id"), "Admin");
    EXPECT_EQ(link.Property("USER ID"), "Admin");
    EXPECT_EQ(link.Property("Password"), "");
}

struct BadCase {
    const char* name;
    QByteArray bytes;
    const char* message;
};

TEST(DataLinkTest, EachFaultHasItsMessage) {
    const BadCase cases[] = {
        {"empty file", "", "The data-link file test.udl is malformed: it has no connection line"},
        {"only comments", "[oledb]\n; Provider=SQLite;Data Source=x.db\n",
         "it has no connection line"},
        {"pair without =", "Provider=SQLite;velkora.db", "\"velkora.db\" is not a Key=Value pair"},
        {"password holding ;", "Provider=SQLite;Password=se;cret part;Data Source=x.db",
         "the text after the value of Password is not a Key=Value pair"},
        {"key missing", "Provider=SQLite;=x.db", "a value has no key before its \"=\""},
        {"unclosed quote", "Provider=SQLite;Data Source=\"x.db",
         "the value of Data Source lacks its closing quote"},
        {"text after quotes", "Provider=SQLite;Data Source=\"x\".db",
         "text follows the quoted value of Data Source"},
        {"key given twice", "Provider=SQLite;Data Source=a.db;data source=b.db",
         "data source is given twice"},
        {"second line", "Provider=SQLite\nData Source=x.db", "line 2 is a second connection line"},
        {"unknown section", "[odbc]\nProvider=SQLite;Data Source=x.db",
         "line 1 is an unknown section \"[odbc]\""},
        {"not UTF-8", "Provider=SQLite;Data Source=\xFF\xFEx", "it is not UTF-8 text"},
        {"odd UTF-16", QByteArray("\xFF\xFEP\0r", 5), "it is not UTF-16 text"},
        {"no provider", "Data Source=x.db",
         "The data-link file test.udl names no Provider (for example Provider=SQLite)"},
        {"empty provider", "Provider=;Data Source=x.db", "names no Provider"},
        {"no data source", "Provider=SQLite", "The data-link file test.udl names no Data Source"},
        {"blank data source", "Provider=SQLite;Data Source=\"\"", "names no Data Source"},
    };
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NE(FailureOf(c.bytes).find(c.message), std::string::npos) << FailureOf(c.bytes);
    }
}

class DataLinkFileTest : public TemporaryWorkingDirectory {
  protected:
    std::string FailureOfFile(const QString& path) {
        try {
            ReadDataLink(path);
        } catch (const StoreError& e) {
            return e.what();
        }
        return "(no failure)";
    }
};

TEST_F(DataLinkFileTest, MissingFileSaysWhereItLooksAndHowToMakeOne) {
    const std::string message = FailureOfFile("velkora.udl");
    EXPECT_NE(
        message.find("The data-link file velkora.udl was not found in the working directory " +
                     QDir::toNativeSeparators(dir_.path()).toStdString()),
        std::string::npos)
        << message;
    EXPECT_NE(message.find("\"velkora-cli init\" makes one"), std::string::npos) << message;
    EXPECT_EQ(FailureOfFile(dir_.filePath("other.udl")),
              "The data-link file " +
                  QDir::toNativeSeparators(dir_.filePath("other.udl")).toStdString() +
                  " was not found");
}

TEST_F(DataLinkFileTest, FolderIsNoDataLinkFile) {
    ASSERT_TRUE(QDir().mkdir("velkora.udl"));
    EXPECT_EQ(FailureOfFile("velkora.udl"), "The data-link file velkora.udl is not a file");
}

TEST_F(DataLinkFileTest, UnreadableFileFails) {
    QFile file("locked.udl");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Provider=SQLite;Data Source=x.db");
    file.close();
    ASSERT_TRUE(file.setPermissions(QFileDevice::Permissions()));
    // Root reads any file, so act as an ordinary user who may enter the folder.
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_TRUE(QFile::setPermissions(dir_.path(), QFileDevice::Permissions(0x7755)));
        ASSERT_EQ(seteuid(65534), 0);
    }
    const std::string failure = FailureOfFile("locked.udl");
    if (root) {
        ASSERT_EQ(seteuid(0), 0);
    }
    EXPECT_NE(failure.find("Could not read the data-link file locked.udl: "), std::string::npos)
        << failure;
}

TEST_F(DataLinkFileTest, ReadsAUtf16File) {
    QFile file("velkora.udl");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        Utf16Le("[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n"
                "Provider=SQLite;Data Source=velkora.db\r\n"));
    file.close();
    const DataLink link = ReadDataLink("velkora.udl");
    EXPECT_EQ(link.provider, "SQLite");
    EXPECT_EQ(link.dataSource, "velkora.db");
}

}  // namespace
}  // namespace velkora
