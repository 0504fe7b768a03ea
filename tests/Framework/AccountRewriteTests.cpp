#include "Framework/Account.h"

#include "Support/AccountFakes.h"
#include "harness/LogCapture.h"

#include <gtest/gtest.h>

using namespace Kestrin;
using namespace KestrinTest;

// A hand-edited account whose unknown element has a name that expat reads in a Latin-1 file but
// refuses in UTF-8 (U+00B5): rewriting it would leave a file nothing can read, so the change is
// refused and the old file kept. A file that broke off since the account was opened is kept too.
TEST(AccountRewrite, AChangeThatWouldNotReadBackOrAFileThatBreaksOffKeepsTheOldFile)
{
    const FileSpec file(2, L"4711", L".act", L".");
    const std::string latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
                               "<account><note\xB5/><record name=\"a\" value=\"1\"/></account>";
    const std::string broken = "<?xml version=\"1.0\"?><account><record name=\"a\" value=\"1\"/><rec";
    for (const std::string& bytes : {latin1, broken})
    {
        FaultyFileSystem fs;
        ScopedFileSystem scope(&fs);
        fs.AddAccount(L"4711", latin1);
        Account account(file);
        fs.AddAccount(L"4711", bytes);
        LogCapture log;
        EXPECT_FALSE(account.SetInt(L"b", 2));
        EXPECT_EQ(fs.Account(L"4711.act"), bytes);
        EXPECT_NE(log.Text().find("Couldn't write account file \"4711.act\""), std::string::npos)
            << log.Text();
    }
}
