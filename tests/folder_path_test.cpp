#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "folder_path.h"

namespace {

TEST(NormalFolder, WritesEveryFolderOneWay)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        // A drive's root keeps its backslash, any other folder loses it.
        {"D:\\", "D:\\"},
        {"D:", "D:\\"},
        {"D:\\datos\\", "D:\\datos"},
        {"D:\\datos\\korvane", "D:\\datos\\korvane"},
        {"d:\\Datos", "D:\\Datos"},
        {"D:/datos//korvane\\\\", "D:\\datos\\korvane"},
        // Dots are resolved; ".." stops at the root.
        {"D:\\datos\\.\\korvane\\..\\bd", "D:\\datos\\bd"},
        {"D:\\datos\\..", "D:\\"},
        {"D:\\..\\..\\datos", "D:\\datos"},
        // The long-path form is read as the plain one.
        {"\\\\?\\D:\\datos\\", "D:\\datos"},
        {"\\\\?\\UNC\\servidor\\bd\\korvane", "\\\\servidor\\bd\\korvane"},
        // A share's root is server and share name.
        {"\\\\servidor\\bd\\", "\\\\servidor\\bd"},
        {"\\\\servidor\\bd\\..\\..", "\\\\servidor\\bd"},
        // UTF-8 names, blanks and dots inside names pass unchanged.
        {"E:\\Bases de datos ñ\\cía.2024\\", "E:\\Bases de datos ñ\\cía.2024"},
        {"E:\\...\\x", "E:\\...\\x"},
    };
    for (const auto& [path, folder] : cases)
        EXPECT_EQ(NormalFolder(path), folder) << path;
}

TEST(FolderPath, RootDriveAndNameOfAFolder)
{
    EXPECT_EQ(FolderRoot("D:\\datos\\korvane"), "D:\\");
    EXPECT_EQ(FolderRoot("D:\\"), "D:\\");
    EXPECT_EQ(FolderRoot("\\\\servidor\\bd\\korvane"), "\\\\servidor\\bd");
    EXPECT_EQ(FolderRoot("\\\\servidor\\bd"), "\\\\servidor\\bd");
    EXPECT_EQ(FolderRoot("datos"), "");

    EXPECT_EQ(FolderDrive("D:\\datos"), 'D');
    EXPECT_EQ(FolderDrive("\\\\servidor\\bd"), '\0');

    EXPECT_EQ(FolderName("D:\\datos\\korvane ñ"), "korvane ñ");
    EXPECT_EQ(FolderName("D:\\datos"), "datos");
    EXPECT_EQ(FolderName("D:\\"), "D:\\");
    EXPECT_EQ(FolderName("\\\\servidor\\bd"), "\\\\servidor\\bd");
    EXPECT_EQ(FolderName("\\\\servidor\\bd\\korvane"), "korvane");
}

TEST(FolderPath, SubFoldersJoinWithOneBackslash)
{
    EXPECT_EQ(SubFolder("D:\\", "datos"), "D:\\datos");
    EXPECT_EQ(SubFolder("D:\\datos", "korvane ñ"), "D:\\datos\\korvane ñ");
    EXPECT_EQ(SubFolder("\\\\servidor\\bd", "korvane"), "\\\\servidor\\bd\\korvane");
}

TEST(FolderPath, ChainRunsFromTheRootToTheFolder)
{
    EXPECT_EQ(FolderChain("D:\\datos\\korvane"),
              (std::vector<std::string>{"D:\\", "D:\\datos", "D:\\datos\\korvane"}));
    EXPECT_EQ(FolderChain("D:\\"), std::vector<std::string>{"D:\\"});
    EXPECT_EQ(FolderChain("\\\\servidor\\bd\\korvane"),
              (std::vector<std::string>{"\\\\servidor\\bd", "\\\\servidor\\bd\\korvane"}));
}

TEST(FolderPath, LongPathFormKeepsTheFolderAndAddsThePrefix)
{
    EXPECT_EQ(LongPathForm("D:\\"), "\\\\?\\D:\\");
    EXPECT_EQ(LongPathForm("D:\\datos ñ"), "\\\\?\\D:\\datos ñ");
    EXPECT_EQ(LongPathForm("\\\\servidor\\bd\\korvane"), "\\\\?\\UNC\\servidor\\bd\\korvane");
    EXPECT_EQ(NormalFolder(LongPathForm("\\\\servidor\\bd")), "\\\\servidor\\bd");
}

TEST(FolderTree, ParentsOpenAndIndentedThenSubFoldersOneStepFurther)
{
    const std::vector<FolderEntry> entries = FolderTree("D:\\datos\\korvane", {"bd", "copia ñ"});
    ASSERT_EQ(entries.size(), 5u);
    const std::vector<std::string> paths = {"D:\\", "D:\\datos", "D:\\datos\\korvane", "D:\\datos\\korvane\\bd",
                                            "D:\\datos\\korvane\\copia ñ"};
    const std::vector<int> depths = {0, 1, 2, 3, 3};
    const std::vector<bool> open = {true, true, true, false, false};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].path, paths[i]) << i;
        EXPECT_EQ(entries[i].depth, depths[i]) << i;
        EXPECT_EQ(entries[i].open, open[i]) << i;
    }

    const std::vector<FolderEntry> root = FolderTree("C:\\", {"datos"});
    ASSERT_EQ(root.size(), 2u);
    EXPECT_EQ(root[1].path, "C:\\datos");
    EXPECT_EQ(root[1].depth, 1);
}

} // namespace
