// Entry icons: the fallback from a path to a program name, the PATH search, and the icon list
// that asks for one icon per kind of file.
#include "platform/PosixFileSystem.h"
#include "tests/support/TestFiles.h"
#include "tests/ui/WindowFixture.h"
#include "ui/IconList.h"
#include "ui/IconPath.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

TEST(IconPathFromTextTest, CutsTheProgramOutOfACommandLine)
{
    const std::pair<const char*, const char*> cases[] = {
        {"\"C:\\Program Files\\Tool\\run.exe\" -x", "C:\\Program Files\\Tool\\run.exe"},
        {"c:\\tools\\app.exe /s", "c:\\tools\\app.exe"},
        {"c:\\my.docs\\a.txt", "c:\\"},  // the first dot is a folder's, no ".exe "
        {"c:\\data\\old.txt", "c:\\data\\old.txt"},
        {"/opt/a.b/c.d/e", "/op"},
        {"  \t c:\\tools\\app.exe /s \r\n", "c:\\tools\\app.exe"},  // trimmed first
        {" \"quoted path\" ", "quoted path"},
        {"\"C:\\no end", ""},
        {"\"\"", ""},
        {"   ", ""},
        {"a.b", "a.b"},
        {"abcdef", "abc"},  // no dot: the first three characters
        {"run.exe", "run.exe"},
        // Found in any case, but cut from the text as it is: Linux names are case sensitive.
        {"/usr/Tools/App.EXE -v", "/usr/Tools/App.EXE"},
        {"C:\\My.Docs\\A.TXT", "C:\\"},
    };
    for (const auto& [text, program] : cases)
        EXPECT_EQ(IconPathFromText(text), program) << text;
}

TEST(SearchPathListTest, FindsTheFirstFolderThatHoldsTheName)
{
    TempDir first;
    TempDir second;
    const std::string inSecond = second.Write("tool", "#!/bin/sh\n");
    second.Write("other", "");
    first.Write("other", "");
    PosixFileSystem files;
    const std::string list = first.Path() + ":" + second.Path() + "/";
    EXPECT_EQ(SearchPathList("tool", list, files), second.Path() + "/tool");
    EXPECT_EQ(SearchPathList("other", list, files), first.Path() + "/other");
    EXPECT_EQ(SearchPathList("absent", list, files), std::nullopt);
    EXPECT_EQ(SearchPathList("", list, files), std::nullopt);
    EXPECT_EQ(SearchPathList(inSecond, list, files), std::nullopt) << "a name with a folder";
    EXPECT_EQ(SearchPathList("tool", "", files), std::nullopt);
}

TEST(IconListTest, OneIconPerKindOfFile)
{
    TempDir dir;
    IconList icons;
    EXPECT_EQ(icons.Count(), 1) << "the plain file icon";
    const int text = icons.SystemIconIndex(dir.Write("a.txt", "a"));
    const int made = icons.IconsMade();
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(icons.SystemIconIndex(dir / ("file" + std::to_string(i) + ".txt")), text);
    EXPECT_EQ(icons.SystemIconIndex(dir / "UPPER.TXT"), text) << "extensions in any case";
    EXPECT_EQ(icons.IconsMade(), made) << "the icon theme is asked once per kind";
    EXPECT_EQ(icons.SystemIconIndex(dir / "picture.png"), icons.SystemIconIndex(dir / "other.PNG"));
    EXPECT_LE(icons.IconsMade(), made + 1);
    EXPECT_FALSE(icons.Icon(text).isNull());
    EXPECT_FALSE(icons.Icon(12345).isNull()) << "an unknown position shows the plain icon";
}

TEST(IconListTest, FilesWithoutAKnownExtensionArePlainUnlessTheyAreProgramsNoMatterTheFolder)
{
    TempDir dir;
    IconList icons;
    const std::string plain = dir.Write("README", "r");
    const std::string program = dir.Write("run", "#!/bin/sh\n");
    ASSERT_EQ(::chmod(program.c_str(), 0755), 0);
    EXPECT_EQ(icons.SystemIconIndex(plain), 0);
    EXPECT_EQ(icons.SystemIconIndex(dir / "data.unknownextension"), 0);
    EXPECT_EQ(icons.SystemIconIndex("/some.folder/noextension"), 0) << "a dot in a folder is no extension";
    // The program icon comes from the icon theme; without one the plain icon serves.
    if (QIcon::hasThemeIcon(QStringLiteral("application-x-executable")))
        EXPECT_NE(icons.SystemIconIndex(program), 0);
    else
        EXPECT_EQ(icons.SystemIconIndex(program), 0);
}

using EntryIconTest = WindowTest;

TEST_F(EntryIconTest, AVanishedFileKeepsItsPictureUnlessTheFallbackFindsAProgram)
{
    TempDir bin;
    const std::string program = bin.Write("quorvex-tool.exe", "#!/bin/sh\n");
    ASSERT_EQ(::chmod(program.c_str(), 0755), 0);
    const std::string png = dir.Write("shot.png", "not really");
    Drop({png});
    const int pictureOfPng = form.Core().List().At(0).Icon;
    EXPECT_EQ(pictureOfPng, form.SystemIconIndex(png));

    // The file goes; an intake refreshes every icon, and this one keeps what it had.
    ASSERT_EQ(::unlink(png.c_str()), 0);
    constexpr int kEarlierPicture = 77;
    form.Core().List().SetIcon(0, kEarlierPicture);
    Drop({dir.Write("b.txt", "b")});
    EXPECT_EQ(form.Core().List().At(0).Icon, kEarlierPicture);
    EXPECT_EQ(form.Core().List().At(1).Icon, form.SystemIconIndex(dir / "b.txt"));

    // An entry whose "path" is a command line of a program found along PATH takes the
    // program's icon.
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(bin.Path()));
    form.Core().List().Append(CheckEntry{"tool", kStatusPending, "0KB", "quorvex-tool.exe /s"});
    form.Core().List().SetIcon(2, kEarlierPicture);
    form.RefreshEntryIcons();
    qputenv("PATH", savedPath);
    EXPECT_EQ(form.Core().List().At(2).Icon, form.SystemIconIndex(program));
}

}  // namespace
