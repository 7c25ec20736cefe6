// Whether a named object found under one of our names may be taken for ours, and when a reader
// looks for one again: the decisions, apart from the security calls that gather the facts.
// Built into the two libraries as well, so it uses no C or C++ runtime.
#pragma once

#include <cstddef>
#include <cstdint>

// Who a SID in an object's security descriptor stands for, seen from this process.
enum class SidKind : uint8_t {
  User,            // the user this process runs as
  System,          // LocalSystem
  Administrators,  // the owner of what an elevated process makes
  DefaultOwner,    // the owner this process gives what it makes
  Other,
};

struct AceFacts {
  bool allows;  // an access-allowed entry (anything else is not one of ours)
  SidKind sid;
};

constexpr uint32_t kMediumIntegrity = 0x2000;

struct ObjectFacts {
  SidKind owner;
  bool hasDacl;  // false: a null access list, open to everyone
  const AceFacts* aces;
  size_t aceCount;
  const uint32_t* labels;  // the integrity levels of its mandatory labels (none: medium)
  size_t labelCount;
};

// Ours only when made by this user (or by the system, or elevated), open to nobody but the user
// and the system, and labelled no lower than medium integrity: anything else was made first by
// another user, a process of lower integrity, or with a list that lets others write it.
bool TrustsExistingObject(const ObjectFacts& facts);

// A reader that found nothing looks again only after this long, not on every call.
constexpr uint32_t kLookAgainMs = 1000;
bool LooksAgain(bool lookedBefore, uint32_t lastLook, uint32_t now);

// Messages from a process of lower integrity reach a window only where it lets them through:
// only a receiver above the sender's level needs to.
bool NeedsMessageFilterOpened(uint32_t ownIntegrity, uint32_t senderIntegrity);
