// Reading a drop's text/uri-list into native file names.
#include "ui/DropNames.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::string>;

TEST(DropNamesTest, LocalFilesInListOrder)
{
    EXPECT_EQ(LocalFilesOfUriList("file:///tmp/b.txt\r\nfile:///tmp/a.txt\r\n"),
              (Names{"/tmp/b.txt", "/tmp/a.txt"}));
    EXPECT_EQ(LocalFilesOfUriList("file:///tmp/same\nfile:///tmp/same"), (Names{"/tmp/same", "/tmp/same"}));
    EXPECT_EQ(LocalFilesOfUriList("file://localhost/srv/x\r\nFILE:///srv/y\r\nfile:/srv/z\r\n"),
              (Names{"/srv/x", "/srv/y", "/srv/z"}));
}

TEST(DropNamesTest, PercentEscapesBecomeTheNamesOwnBytes)
{
    EXPECT_EQ(LocalFilesOfUriList("file:///tmp/a%20b%23c%3F.txt"), (Names{"/tmp/a b#c?.txt"}));
    EXPECT_EQ(LocalFilesOfUriList("file:///tmp/%E6%A0%A1%E9%AA%8C.txt"), (Names{"/tmp/校验.txt"}));
    // Not UTF-8: the bytes stay as the file system has them.
    EXPECT_EQ(LocalFilesOfUriList("file:///tmp/caf%E9"), (Names{"/tmp/caf\xE9"}));
    EXPECT_EQ(LocalFilesOfUriList("file:///tmp/line%0Abreak"), (Names{"/tmp/line\nbreak"}));
}

TEST(DropNamesTest, CommentsOtherSchemesAndOtherHostsArePassedOver)
{
    EXPECT_EQ(LocalFilesOfUriList("# a comment\r\nhttps://example.org/x\r\nfile://elsewhere/tmp/x\r\n"
                                  "\r\nfile:///tmp/kept\r\nfile:relative\r\nfile:///tmp/nul%00byte\r\n"),
              (Names{"/tmp/kept"}));
    EXPECT_TRUE(LocalFilesOfUriList("").empty());
    EXPECT_TRUE(LocalFilesOfUriList("file://").empty());
}

}  // namespace
