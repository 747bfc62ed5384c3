#include "update/InstallerManifest.h"
#include "update/PublishedVersion.h"
#include "update/Sha256.h"
#include "update/UserAgent.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::string Page(const std::string& version)
{
    return "<html><body><p>\n" + version + "</p></body></html>";
}

TEST(PublishedVersion, ReadsTheNumberBetweenTheMarkupAndComparesWithOnePointZero)
{
    const auto v12 = PublishedVersion::Parse(Page("1.2") + "\n");
    ASSERT_TRUE(v12.has_value());
    EXPECT_EQ(v12->major, 1);
    EXPECT_EQ(v12->minor, 2);
    EXPECT_EQ(v12->ComparisonText(), "1.0  >  1.2");

    EXPECT_FALSE(PublishedVersion::Parse(Page("1.0"))->IsNewer()) << "the same version offers nothing";
    EXPECT_FALSE(PublishedVersion::Parse(Page("0.56"))->IsNewer()) << "the agent's 0.56 is not what is compared";
    EXPECT_TRUE(PublishedVersion::Parse(Page("1.1"))->IsNewer());
    EXPECT_TRUE(PublishedVersion::Parse(Page("2.0"))->IsNewer());
    EXPECT_TRUE(PublishedVersion::Parse(Page("1.10"))->IsNewer()) << "numbers, not text";
}

TEST(PublishedVersion, MalformedOrHostileAnswersGiveNoVersion)
{
    // Without the closing tag the page is not read at all (a search that fails is not "found").
    EXPECT_FALSE(PublishedVersion::Parse("<html><body><p>\n9.9</p></body>").has_value());
    EXPECT_FALSE(PublishedVersion::Parse("").has_value());
    EXPECT_FALSE(PublishedVersion::Parse("</html>").has_value()) << "shorter than its markup";
    EXPECT_FALSE(PublishedVersion::Parse(Page("1")).has_value());
    EXPECT_FALSE(PublishedVersion::Parse(Page("1.2.3")).has_value());
    EXPECT_FALSE(PublishedVersion::Parse(Page("-1.5")).has_value());
    EXPECT_FALSE(PublishedVersion::Parse(Page("1.5x")).has_value());
    EXPECT_FALSE(PublishedVersion::Parse(Page("65536.0")).has_value()) << "beyond 16 bits";
    EXPECT_FALSE(PublishedVersion::Parse(Page("1.2") + "<script>").has_value()) << "text after the page";
    EXPECT_FALSE(PublishedVersion::Parse(Page("1.2") + std::string(PublishedVersion::kMaxAnswer, ' ')).has_value())
        << "longer than any version page";
    const auto largest = PublishedVersion::Parse(Page("65535.65535"));
    ASSERT_TRUE(largest.has_value());
    EXPECT_EQ(largest->Text(), "65535.65535");
}

TEST(InstallerManifest, TakesTheDigestNameAndSizeAndNothingElse)
{
    const std::string digest(64, 'a');
    const auto manifest = InstallerManifest::Parse(digest + "  QuillotInstaller.tar.gz  1234\n");
    ASSERT_TRUE(manifest.has_value());
    EXPECT_EQ(manifest->sha256, digest);
    EXPECT_EQ(manifest->size, 1234u);

    EXPECT_FALSE(InstallerManifest::Parse(digest + "  QuillotInstaller.tar.gz").has_value()) << "no size";
    EXPECT_FALSE(InstallerManifest::Parse(digest + "  other.tar.gz  1234").has_value()) << "another file";
    EXPECT_FALSE(InstallerManifest::Parse(std::string(63, 'a') + "  QuillotInstaller.tar.gz  1").has_value());
    EXPECT_FALSE(InstallerManifest::Parse(std::string(64, 'A') + "  QuillotInstaller.tar.gz  1").has_value());
    EXPECT_FALSE(InstallerManifest::Parse(digest + "  QuillotInstaller.tar.gz  0").has_value());
    EXPECT_FALSE(InstallerManifest::Parse(digest + "  QuillotInstaller.tar.gz  12x").has_value());
    EXPECT_FALSE(InstallerManifest::Parse(digest + "  QuillotInstaller.tar.gz  99999999999").has_value()) << "above the cap";
    EXPECT_FALSE(InstallerManifest::Parse(digest + "  QuillotInstaller.tar.gz  12 extra").has_value());
}

TEST(Sha256, MatchesTheStandardDigest)
{
    Sha256 digest;
    digest.Add("ab", 2);
    digest.Add("c", 1);
    EXPECT_EQ(digest.FinishHex(), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(digest.FinishHex(), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855") << "starts again";
}

TEST(UserAgent, MarksOnlyTheDevelopmentUserFolder)
{
    EXPECT_EQ(UserAgent::For("/home/dev/.local/share/Quillot/", "/home/dev/.local/share/Quillot/"), "quillot/0.56d");
    EXPECT_EQ(UserAgent::For("/home/dev/.local/share/Quillot", "/home/dev/.local/share/Quillot/"), "quillot/0.56d");
    EXPECT_EQ(UserAgent::For("/home/user/.local/share/Quillot/", "/home/dev/.local/share/Quillot/"), "quillot/0.56");
    EXPECT_EQ(UserAgent::For("/home/dev/.local/share/Quillot/", ""), "quillot/0.56") << "a release build";
    EXPECT_EQ(UserAgent::For("", ""), "quillot/0.56");
}
}
