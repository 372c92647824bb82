// The atomic replace on Windows: the file's own attributes survive it.
#include <windows.h>

#include <gtest/gtest.h>

#include "store/atomic_file.h"
#include "support/temp_dir.h"

namespace lumio {
namespace {

TEST(AtomicFile, AReplacedFileKeepsItsAttributes) {
  test::TempDir dir;
  const std::string path = dir.File("favlst.ini");
  test::WriteBytes(path, "old");
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  ASSERT_TRUE(WriteFileAtomically(path, "new"));
  EXPECT_EQ(test::ReadBytes(path), "new");
  EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(GetFileAttributesA(TemporaryPathFor(path).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(AtomicFile, AFileOpenedByAnotherProgramIsKeptAndReported) {
  test::TempDir dir;
  const std::string path = dir.File("playlst.ini");
  test::WriteBytes(path, "old");
  // An editor holding the file open without sharing it.
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteFileAtomically(path, "new"));
  CloseHandle(held);
  EXPECT_EQ(test::ReadBytes(path), "old");
  EXPECT_EQ(GetFileAttributesA(TemporaryPathFor(path).c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace lumio
