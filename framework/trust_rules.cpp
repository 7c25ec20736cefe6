#include "framework/trust_rules.h"

bool TrustsExistingObject(const ObjectFacts& facts) {
  if (facts.owner == SidKind::Other || !facts.hasDacl) return false;
  for (size_t i = 0; i < facts.aceCount; ++i) {
    const AceFacts& ace = facts.aces[i];
    if (!ace.allows || (ace.sid != SidKind::User && ace.sid != SidKind::System)) return false;
  }
  for (size_t i = 0; i < facts.labelCount; ++i) {
    if (facts.labels[i] < kMediumIntegrity) return false;
  }
  return true;
}

bool LooksAgain(bool lookedBefore, uint32_t lastLook, uint32_t now) {
  return !lookedBefore || now - lastLook >= kLookAgainMs;
}

bool NeedsMessageFilterOpened(uint32_t ownIntegrity, uint32_t senderIntegrity) {
  return ownIntegrity > senderIntegrity;
}
