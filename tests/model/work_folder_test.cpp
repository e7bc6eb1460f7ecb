// Where the work files go, and which names the work-file command may delete.

#include "model/work_folder.h"

#include <gtest/gtest.h>

namespace tovala {
namespace {

TEST(WorkFolder, ProjectFolderStaysHomeAndRootUseTheDataFolder) {
  // A shell in a project folder: the files stay next to the project.
  EXPECT_EQ(workRootFor("/home/ann/figures", "/home/ann", ""), "/home/ann/figures");
  // Started from the desktop (home or root): the per-user data folder.
  EXPECT_EQ(workRootFor("/home/ann", "/home/ann", ""), "/home/ann/.local/share/tovala");
  EXPECT_EQ(workRootFor("/home/ann/", "/home/ann", ""), "/home/ann/.local/share/tovala");
  EXPECT_EQ(workRootFor("/", "/home/ann", "/data/ann"), "/data/ann/tovala");
  EXPECT_EQ(workRootFor("/home/ann", "/home/ann", "relative/dir"), "/home/ann/.local/share/tovala");
  // Nothing better known: the start folder as before.
  EXPECT_EQ(workRootFor("/", "", ""), "/");
}

TEST(WorkFolder, OnlyTheScriptEditorsNamesAreWorkFiles) {
  for (const char* name : {"0-0.txt", "12-3.txt", "4--1.txt"})
    EXPECT_TRUE(isScriptWorkFileName(name)) << name;
  for (const char* name : {"notes.txt", "1.txt", "1-2.TXT", "a-1.txt", "1-.txt", "-1.txt",
                           "1-2.txt.bak", "undo000.tv0", ".txt"})
    EXPECT_FALSE(isScriptWorkFileName(name)) << name;
}

}  // namespace
}  // namespace tovala
