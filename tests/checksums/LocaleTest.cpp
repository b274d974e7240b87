// The decimal separator comes from the user's numeric locale without changing the process's.
#include "platform/Locale.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <locale>

// g++ says so with __SANITIZE_ADDRESS__, Clang with __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define QUORVEX_LEAK_CHECKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVEX_LEAK_CHECKS 1
#endif
#endif
#if defined(QUORVEX_LEAK_CHECKS)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

// Sets the environment variable for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old, hadOld_ = true;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment()
    {
        if (hadOld_)
            ::setenv(name_, old_.c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::string old_;
    bool hadOld_ = false;
};

}  // namespace

TEST(LocaleDecimalSeparator, FullStopInTheCLocale)
{
    ScopedEnvironment all("LC_ALL", "C");
    EXPECT_EQ(LocaleDecimalSeparator(), ".");
}

TEST(LocaleDecimalSeparator, FullStopWhenTheLocaleIsNotInstalled)
{
    ScopedEnvironment all("LC_ALL", "xx_NOWHERE.UTF-8");
    EXPECT_EQ(LocaleDecimalSeparator(), ".");
}

// A German locale built into a scratch folder (LOCPATH) writes a decimal comma; the program's
// own locale stays "C" all the same, and the separator follows the environment back.
TEST(LocaleDecimalSeparator, CommaOfAGermanLocale)
{
    TempDir dir;
    std::string command = "localedef -i de_DE -f UTF-8 '" + dir.Path() + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        GTEST_SKIP() << "localedef cannot build de_DE here";
    ScopedEnvironment plain("LC_ALL", "C");
    EXPECT_EQ(LocaleDecimalSeparator(), ".");
    {
        ScopedEnvironment path("LOCPATH", dir.Path());
        ScopedEnvironment all("LC_ALL", "de_DE.UTF-8");
#if defined(QUORVEX_LEAK_CHECKS)
        // glibc's newlocale keeps a copy of the LOCPATH list on every call; not ours to free.
        __lsan::ScopedDisabler glibcLosesLocpath;
#endif
        EXPECT_EQ(LocaleDecimalSeparator(), ",");
        EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
        EXPECT_EQ(std::locale().name(), "C");
    }
    EXPECT_EQ(LocaleDecimalSeparator(), ".");
}
