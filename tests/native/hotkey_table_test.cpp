#include "hotkeys/hotkey_table.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "hotkeys/key_file.h"
#include "tests/native/fake_hotkey_registration.h"

namespace {

class HotKeyTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeHotKeys().Reset();
    char pattern[] = "/tmp/tavolet-table-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  std::string PathOf(const std::string& name) const { return dir_ + "/" + name; }
  static void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static KeyRecord Record(uint32_t key, const std::string& target) {
    KeyRecord r;
    r.virtualKey = key;
    r.modifiers = 0x2;
    r.actionType = 1;
    r.target = target;
    return r;
  }
  static std::string FileOf(const std::vector<KeyRecord>& records) {
    std::vector<const KeyRecord*> pointers;
    for (const KeyRecord& r : records) pointers.push_back(&r);
    return EncodeKeyFile(pointers);
  }

  std::string dir_;
};

TEST_F(HotKeyTableTest, LoadGivesIdsInFileOrderAndSaveWritesThemReversed) {
  const std::string path = PathOf("key.cfg");
  WriteFile(path, FileOf({Record('A', "first"), Record('B', "second"), Record('C', "third")}));

  HotKeyTable table;
  ASSERT_TRUE(table.Load(path));
  EXPECT_EQ(table.Count(), 3);
  EXPECT_EQ(table.filePath, path);
  EXPECT_EQ(table.FindById(1)->target, "first");
  EXPECT_EQ(table.FindById(2)->target, "second");
  EXPECT_EQ(table.FindById(3)->target, "third");
  EXPECT_EQ(table.next->hotKeyId, 3) << "newest first";
  EXPECT_EQ(FakeHotKeys().registered.size(), 3u);
  EXPECT_EQ(FakeHotKeys().registered.at(2), std::make_pair(0x2u, uint32_t('B')));

  ASSERT_TRUE(table.Save());
  EXPECT_EQ(ReadFile(path),
            FileOf({Record('C', "third"), Record('B', "second"), Record('A', "first")}));
}

TEST_F(HotKeyTableTest, IdsComeFromTheLargestPlusOne) {
  HotKeyTable table;
  EXPECT_EQ(table.NextId(), 1);
  HotKeyEntry source;
  for (uint32_t key : {'A', 'B', 'C'}) {
    source.virtualKey = key;
    table.Add(&source);
  }
  EXPECT_EQ(table.NextId(), 4);

  delete table.FindById(3);  // the largest comes back
  EXPECT_EQ(table.Add(&source)->hotKeyId, 3);

  delete table.FindById(1);  // a gap stays a gap
  EXPECT_EQ(table.Add(&source)->hotKeyId, 4);
  EXPECT_EQ(table.FindById(1), nullptr);
  EXPECT_EQ(table.Count(), 3);
}

TEST_F(HotKeyTableTest, AddCopiesTheSourceAndRegistersUnderTheNewId) {
  HotKeyTable table;
  HotKeyEntry source;
  source.virtualKey = 0x74;
  source.modifiers = 0x3;
  source.hotKeyId = 77;
  source.target = "x";
  HotKeyEntry* added = table.Add(&source);
  EXPECT_EQ(added->hotKeyId, 1);
  EXPECT_EQ(added->target, "x");
  EXPECT_EQ(FakeHotKeys().registered.at(1), std::make_pair(0x3u, 0x74u));
  source.hotKeyId = 0;  // the working copy must not unregister the table's id
}

// As after a cancelled log-off re-registered the entry while its editor was open.
TEST_F(HotKeyTableTest, RegisteringAgainLetsGoOfTheOldCombination) {
  HotKeyTable table;
  HotKeyEntry source;
  source.virtualKey = 'A';
  HotKeyEntry* entry = table.Add(&source);
  entry->virtualKey = 'B';
  EXPECT_TRUE(entry->Register());
  EXPECT_FALSE(FakeHotKeys().IsTaken(0, 'A')) << "the old keys no longer fire the entry";
  EXPECT_TRUE(FakeHotKeys().IsTaken(0, 'B'));
}

TEST_F(HotKeyTableTest, DeletingUnregistersAndUnlinks) {
  HotKeyTable table;
  HotKeyEntry source;
  source.virtualKey = 'A';
  table.Add(&source);
  source.virtualKey = 'B';
  table.Add(&source);
  source.virtualKey = 'C';
  table.Add(&source);
  delete table.FindById(2);
  EXPECT_EQ(FakeHotKeys().registered.count(2), 0u);
  EXPECT_EQ(table.next->hotKeyId, 3);
  EXPECT_EQ(table.next->next->hotKeyId, 1);
  EXPECT_EQ(table.next->next->prev, table.next);
  table.Clear();
  EXPECT_EQ(table.Count(), 0);
  EXPECT_TRUE(FakeHotKeys().registered.empty());
}

TEST_F(HotKeyTableTest, DuplicateCombinationStaysInTableAndFile) {
  const std::string path = PathOf("key.cfg");
  WriteFile(path, FileOf({Record('A', "one"), Record('A', "two")}));
  HotKeyTable table;
  ASSERT_TRUE(table.Load(path));
  EXPECT_EQ(table.Count(), 2);
  ASSERT_EQ(FakeHotKeys().registered.size(), 1u);
  EXPECT_EQ(FakeHotKeys().registered.begin()->first, 1) << "the first registered keeps it";
  ASSERT_TRUE(table.Save());
  EXPECT_EQ(DecodeKeyFile(ReadFile(path)).records.size(), 2u);
}

// Each entry knows whether the system took its combination; a retry takes what came free.
TEST_F(HotKeyTableTest, RefusedEntriesAreCountedAndTriedAgain) {
  const std::string path = PathOf("key.cfg");
  WriteFile(path, FileOf({Record('A', "one"), Record('A', "two"), Record('B', "three")}));
  HotKeyTable table;
  ASSERT_TRUE(table.Load(path));
  EXPECT_EQ(table.UnregisteredCount(), 1);
  EXPECT_FALSE(table.FindById(2)->registered);
  delete table.FindById(1);
  table.RegisterUnregistered();
  EXPECT_EQ(table.UnregisteredCount(), 0);
  EXPECT_TRUE(table.FindById(2)->registered);
  table.FindById(3)->Unregister();
  EXPECT_EQ(table.UnregisteredCount(), 1);
}

// The path is fixed even for a missing file: the first save creates it there, wherever the
// current directory has gone meanwhile.
TEST_F(HotKeyTableTest, MissingFileLeavesTheTableEmptyAndFixesThePath) {
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  HotKeyTable table;
  HotKeyEntry source;
  table.Add(&source);
  EXPECT_FALSE(table.Load());
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(table.filePath, PathOf("key.cfg"));
  ASSERT_EQ(chdir("/"), 0);
  EXPECT_TRUE(table.Save());
  ASSERT_EQ(chdir(previous), 0);
  EXPECT_EQ(ReadFile(PathOf("key.cfg")), std::string("\0\0\0\0", 4));
}

// A file that exists but cannot be read (here a folder of that name) is never replaced in
// that run: every save goes beside it.
TEST_F(HotKeyTableTest, UnreadableFileIsKeptAndSavesGoBesideIt) {
  const std::string path = PathOf("key.cfg");
  ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
  HotKeyTable table;
  EXPECT_FALSE(table.Load(path));
  HotKeyEntry source;
  static_cast<KeyRecord&>(source) = Record('A', "made in this run");
  table.Add(&source);
  EXPECT_FALSE(table.Save()) << "the file itself was not written";
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode)) << "left as it was";
  EXPECT_EQ(ReadFile(path + ".unsaved"), FileOf({Record('A', "made in this run")}));
}

// Only what a run changed goes beside an unreadable file, and never over an earlier run's copy.
TEST_F(HotKeyTableTest, UnsavedCopiesOfEarlierRunsAreKept) {
  const std::string path = PathOf("key.cfg");
  ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
  WriteFile(path + ".unsaved", "earlier run");
  HotKeyTable table;
  EXPECT_FALSE(table.Load(path));
  EXPECT_FALSE(table.Save(std::string(), true));
  EXPECT_FALSE(PathExists(path + ".unsaved-2")) << "nothing changed, nothing written";
  HotKeyEntry source;
  static_cast<KeyRecord&>(source) = Record('A', "new");
  table.Add(&source);
  EXPECT_FALSE(table.Save(std::string(), true));
  EXPECT_EQ(ReadFile(path + ".unsaved"), "earlier run");
  EXPECT_EQ(ReadFile(path + ".unsaved-2"), FileOf({Record('A', "new")}));
}

TEST_F(HotKeyTableTest, AFinalSaveThatCannotReplaceTheFileGoesBesideIt) {
  const std::string path = PathOf("key.cfg");
  WriteFile(path, "old");
  ASSERT_EQ(mkdir((path + ".tmp").c_str(), 0755), 0);
  HotKeyTable table;
  EXPECT_FALSE(table.Save(path, true));
  EXPECT_EQ(ReadFile(path), "old");
  ASSERT_EQ(rmdir((path + ".tmp").c_str()), 0);
  EXPECT_EQ(ReadFile(path + ".unsaved"), std::string("\0\0\0\0", 4));
}

TEST_F(HotKeyTableTest, SaveWithoutALoadedPathWritesKeyCfgInTheCurrentDirectory) {
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  HotKeyTable table;
  EXPECT_TRUE(table.Save());
  ASSERT_EQ(chdir(previous), 0);
  EXPECT_EQ(ReadFile(PathOf("key.cfg")), std::string("\0\0\0\0", 4));
}

TEST_F(HotKeyTableTest, TruncatedFileKeepsCompleteRecordsAndIsNotRewritten) {
  const std::string path = PathOf("key.cfg");
  std::string bytes = FileOf({Record('A', "one"), Record('B', "two"), Record('C', "three")});
  bytes.resize(bytes.size() - 10);
  WriteFile(path, bytes);
  HotKeyTable table;
  ASSERT_TRUE(table.Load(path));
  EXPECT_FALSE(table.LastLoadComplete());
  EXPECT_EQ(table.Count(), 2);
  EXPECT_EQ(ReadFile(path), bytes) << "loading never writes";
}

TEST_F(HotKeyTableTest, FailedSaveKeepsTheOldFile) {
  const std::string path = PathOf("key.cfg");
  const std::string old = FileOf({Record('A', "old")});
  WriteFile(path, old);
  // The temporary file cannot be created where a folder of that name stands.
  ASSERT_EQ(mkdir((path + ".tmp").c_str(), 0755), 0);
  HotKeyTable table;
  HotKeyEntry source;
  table.Add(&source);
  EXPECT_FALSE(table.Save(path));
  EXPECT_EQ(ReadFile(path), old);
}

TEST_F(HotKeyTableTest, SaveLeavesNoTemporaryFileBehind) {
  const std::string path = PathOf("key.cfg");
  HotKeyTable table;
  ASSERT_TRUE(table.Save(path));
  struct stat info;
  EXPECT_NE(stat((path + ".tmp").c_str(), &info), 0);
}

TEST_F(HotKeyTableTest, CopyFromTakesStoredFieldsAndIdButNotRuntimeOnes) {
  HotKeyEntry a, b;
  static_cast<KeyRecord&>(a) = Record('Q', "target");
  a.reserved = "r";
  a.hotKeyId = 9;
  a.window = reinterpret_cast<HWND__*>(0x1234);
  a.filePath = "path";
  b.CopyFrom(a);
  EXPECT_EQ(static_cast<KeyRecord&>(b), static_cast<KeyRecord&>(a));
  EXPECT_EQ(b.hotKeyId, 9);
  EXPECT_EQ(b.window, nullptr);
  EXPECT_TRUE(b.filePath.empty());
  a.hotKeyId = b.hotKeyId = 0;
}

}  // namespace
