// SPDX-License-Identifier: GPL-3.0-or-later
// Extended Properties: what it may add for libpq, what it may not override,
// and messages that never quote a password.
#include "ConnectOptions.h"
#include "DataLink.h"
#include "StoreError.h"
#include "StoreTestFiles.h"

namespace velkora {
namespace {

const QByteArray kSecret = "s3cr3t";

TEST(ConnectOptionsTest, OverridesAndEndlessTimeoutsAreRefusedByKey) {
    const struct {
        const char* name;
        QByteArray rest;  // after Provider, Data Source and Initial Catalog
        const char* message;
    } cases[] = {
        {"host", "Extended Properties=\"host=elsewhere\"", "host is set from Data Source"},
        {"hostaddr", "Extended Properties=\"hostaddr=10.0.0.1\"", "hostaddr is set from"},
        {"port", "Extended Properties=port=1", "port is set from Data Source"},
        {"dbname", "Extended Properties=\"sslmode=require dbname=x\"",
         "dbname is set from Initial Catalog"},
        {"user over User ID", "User ID=anna;Extended Properties=\"USER=bert\"",
         "user is set from User ID"},
        {"password over Password",
         "Password=" + kSecret + ";Extended Properties=\"password='" + kSecret + "x'\"",
         "password is set from Password"},
        {"no timeout", "Extended Properties=\"connect_timeout=0\"", "connect_timeout must be"},
        {"endless timeout", "Extended Properties=\"connect_timeout = 100000\"",
         "connect_timeout must be a whole number of seconds from 1 to 300"},
        {"password split by a blank",
         "Extended Properties=\"password=" + kSecret + " " + kSecret + "2\"",
         "the text after the value of password is not a key=value option"},
        {"unclosed quote", "Extended Properties=\"password='" + kSecret + "\"",
         "the value of password lacks its closing quote"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DataLink link =
            ParseDataLink("Provider=PostgreSQL;Data Source=h;Initial Catalog=d;" + c.rest, "t.udl");
        try {
            ReadConnectOptions(link);
            ADD_FAILURE() << "taken";
        } catch (const StoreError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(c.message), std::string::npos) << message;
            EXPECT_EQ(message.find(kSecret.toStdString()), std::string::npos) << message;
        }
    }
}

TEST(ConnectOptionsTest, OtherOptionsReachLibpqQuoted) {
    const DataLink link = ParseDataLink(
        "Provider=PostgreSQL;Data Source=h;Initial Catalog=d;Extended Properties=\"sslmode=require;"
        "application_name='a b\\'c' password=" +
            kSecret + "\"",
        "t.udl");
    const QList<ConnectOption> options = ReadConnectOptions(link);
    EXPECT_EQ(ConnectOptionsText(options, 10),
              "sslmode='require' application_name='a b\\'c' password='" + kSecret +
                  "' connect_timeout=10");
    EXPECT_EQ(PasswordsOf(link, options), QStringList{kSecret});
}

class ReadablePasswordTest : public TemporaryWorkingDirectory {};

TEST_F(ReadablePasswordTest, APasswordInExtendedPropertiesNeedsAPrivateFile) {
    WriteFile("velkora.udl",
              "Provider=PostgreSQL;Data Source=/nonexistent;Initial Catalog=d;"
              "Extended Properties=\"password=" +
                  kSecret + "\"");
    QFile::setPermissions("velkora.udl", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    try {
        OpenConnection("velkora.udl", "test");
        FAIL() << "opened";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("chmod 600"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace velkora
