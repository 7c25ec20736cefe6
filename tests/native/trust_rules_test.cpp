#include "framework/trust_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// An object as Tavolet makes it: the user and the system only, labelled medium.
struct Facts {
  SidKind owner = SidKind::User;
  bool hasDacl = true;
  std::vector<AceFacts> aces = {{true, SidKind::User}, {true, SidKind::System}};
  std::vector<uint32_t> labels = {kMediumIntegrity};
  bool Trusted() const {
    return TrustsExistingObject(
        {owner, hasDacl, aces.data(), aces.size(), labels.data(), labels.size()});
  }
};

TEST(TrustRules, OursByEveryOwnerATavoletOfThisUserGives) {
  Facts facts;
  for (SidKind owner :
       {SidKind::User, SidKind::System, SidKind::Administrators, SidKind::DefaultOwner}) {
    facts.owner = owner;
    EXPECT_TRUE(facts.Trusted());
  }
  facts.labels.clear();
  EXPECT_TRUE(facts.Trusted()) << "no label counts as medium";
}

TEST(TrustRules, AnotherUsersObjectIsNotOurs) {
  Facts facts;
  facts.owner = SidKind::Other;
  EXPECT_FALSE(facts.Trusted());
}

TEST(TrustRules, AListThatLetsOthersInIsNotOurs) {
  Facts open;
  open.hasDacl = false;
  EXPECT_FALSE(open.Trusted()) << "a null list lets everyone in";
  Facts everyone;
  everyone.aces.push_back({true, SidKind::Other});
  EXPECT_FALSE(everyone.Trusted());
  Facts administrators;
  administrators.aces.push_back({true, SidKind::Administrators});
  EXPECT_FALSE(administrators.Trusted());
  Facts denying;
  denying.aces.insert(denying.aces.begin(), {false, SidKind::User});
  EXPECT_FALSE(denying.Trusted()) << "we never make a denying entry";
}

TEST(TrustRules, ALabelBelowMediumIsAProcessOfLowerIntegrity) {
  Facts facts;
  facts.labels = {kMediumIntegrity - 1};
  EXPECT_FALSE(facts.Trusted());
  facts.labels = {0x1000};
  EXPECT_FALSE(facts.Trusted()) << "low";
  facts.labels = {0x3000};
  EXPECT_TRUE(facts.Trusted()) << "high";
}

TEST(TrustRules, ANameNotFoundIsLookedForAgainASecondLater) {
  EXPECT_TRUE(LooksAgain(false, 0, 0)) << "the first time";
  EXPECT_FALSE(LooksAgain(true, 5000, 5999));
  EXPECT_TRUE(LooksAgain(true, 5000, 6000));
  EXPECT_TRUE(LooksAgain(true, 0xFFFFFF00u, 0x000002F0u)) << "across the tick count's wrap";
  EXPECT_FALSE(LooksAgain(true, 0xFFFFFF00u, 0x00000010u));
}

TEST(TrustRules, OnlyAnElevatedReceiverOpensTheMessageFilter) {
  EXPECT_TRUE(NeedsMessageFilterOpened(0x3000, kMediumIntegrity));
  EXPECT_FALSE(NeedsMessageFilterOpened(kMediumIntegrity, kMediumIntegrity));
  EXPECT_FALSE(NeedsMessageFilterOpened(kMediumIntegrity, 0x3000));
}

}  // namespace
