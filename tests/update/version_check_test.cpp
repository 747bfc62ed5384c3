// The version check against a local HTTPS server whose certificate the test made.
#include "tests/support/tls_test_server.h"

#include "update/UserAgent.h"
#include "update/VersionCheck.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace
{
using namespace std::chrono_literals;

class VersionCheckTest : public testing::Test
{
protected:
    UpdateServer Server(std::chrono::milliseconds window = 60s) const
    {
        UpdateServer server;
        server.address = https.Address();
        server.caFile = https.CaFile();
        server.answerWindow = window;
        return server;
    }
    // Polls as the menu does, once a "frame", until the check has decided (bounded).
    static VersionCheck::State Decide(VersionCheck& check)
    {
        for (int i = 0; i < 6000; ++i)
        {
            const VersionCheck::State state = check.Poll();
            if (state != VersionCheck::State::Waiting)
                return state;
            std::this_thread::sleep_for(10ms);
        }
        return VersionCheck::State::Waiting;
    }
    VersionCheck::State CheckPublished(const std::string& answer)
    {
        https.Serve("/downloads/updateversion.htm", {answer});
        VersionCheck check;
        check.Start(Server(), std::string(UserAgent::kPlain));
        return Decide(check);
    }

    TlsTestServer https;
};

TEST_F(VersionCheckTest, OffersOnlyVersionsNewerThanOnePointZero)
{
    EXPECT_EQ(CheckPublished(TlsTestServer::VersionPage("1.0")), VersionCheck::State::NoOffer);
    EXPECT_EQ(CheckPublished(TlsTestServer::VersionPage("1.1")), VersionCheck::State::Offered);

    https.Serve("/downloads/updateversion.htm", {TlsTestServer::VersionPage("2.0")});
    VersionCheck check;
    check.Start(Server(), std::string(UserAgent::kPlain));
    ASSERT_EQ(Decide(check), VersionCheck::State::Offered);
    EXPECT_EQ(check.GetOffer()->Text(), "2.0");
    const std::vector<std::string> requests = https.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_NE(requests.back().find("GET /downloads/updateversion.htm "), std::string::npos);
    EXPECT_NE(requests.back().find("User-Agent: quillot/0.56\r\n"), std::string::npos);
}

TEST_F(VersionCheckTest, MalformedHugeOrFailedAnswersOfferNothing)
{
    EXPECT_EQ(CheckPublished("<html><body><p>\n9.9</p></body>"), VersionCheck::State::NoOffer) << "no closing tag";
    EXPECT_EQ(CheckPublished("<html><body><p>\nnine</p></body></html>"), VersionCheck::State::NoOffer);
    EXPECT_EQ(CheckPublished(TlsTestServer::VersionPage("9.9") + std::string(64 * 1024, ' ')), VersionCheck::State::NoOffer)
        << "an answer beyond the cap is not read";
    https.Serve("/downloads/updateversion.htm", {TlsTestServer::VersionPage("9.9"), 500});
    VersionCheck check;
    check.Start(Server(), std::string(UserAgent::kPlain));
    EXPECT_EQ(Decide(check), VersionCheck::State::NoOffer) << "an error page";
}

TEST_F(VersionCheckTest, AnUntrustedCertificateOrPlainHttpOffersNothing)
{
    https.Serve("/downloads/updateversion.htm", {TlsTestServer::VersionPage("9.9")});
    UpdateServer untrusted = Server();
    untrusted.caFile.clear(); // the system's authorities do not know the test's
    VersionCheck check;
    check.Start(untrusted, std::string(UserAgent::kPlain));
    EXPECT_EQ(Decide(check), VersionCheck::State::NoOffer);

    UpdateServer plain = Server();
    plain.address = "http" + plain.address.substr(5);
    VersionCheck plainCheck;
    plainCheck.Start(plain, std::string(UserAgent::kPlain));
    EXPECT_EQ(Decide(plainCheck), VersionCheck::State::NoOffer);
}

TEST_F(VersionCheckTest, ASilentServerOffersNothingAndNeverHoldsTheCaller)
{
    https.Serve("/downloads/updateversion.htm", {"", 200, TlsTestServer::Kind::Silent});
    VersionCheck check;
    check.Start(Server(2s), std::string(UserAgent::kPlain));
    // Each poll returns at once while the server keeps quiet.
    int waitingPolls = 0;
    for (; waitingPolls < 3 && check.Poll() == VersionCheck::State::Waiting; ++waitingPolls)
    {
    }
    EXPECT_EQ(waitingPolls, 3);
    EXPECT_EQ(Decide(check), VersionCheck::State::NoOffer);
}
}
