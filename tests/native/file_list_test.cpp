// The list of files handed over between two starts of the program: what a start
// builds reads back name for name, and bytes from another process are taken only
// when every name and the closing NUL are where the format puts them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/file_list.h"

namespace {

using namespace std::string_literals;

struct FileListTest : testing::Test {
  FileList list;
  FileListNames names;
  void SetUp() override { ClearFileList(&list); }
  std::vector<std::string> Read(const std::string &bytes) {
    std::vector<std::string> read;
    if (!ReadFileList(bytes.data(), bytes.size(), &names)) return {"(refused)"};
    for (int i = 0; i < names.count; i++) read.push_back(FileListName(&names, i));
    return read;
  }
};

TEST_F(FileListTest, BytesFromAnotherProcess) {
  const std::string at259(259, 'x'), at260(260, 'x');
  struct Case {
    std::string bytes;
    std::vector<std::string> names;
  } cases[] = {
      {"C:\\a.wav\0\0"s, {"C:\\a.wav"}},
      {"C:\\a b.wav\0D:\\\x95\x5C.mp3\0\0"s, {"C:\\a b.wav", "D:\\\x95\x5C.mp3"}},
      {at259 + "\0\0"s, {at259}},
      {at260 + "\0\0"s, {"(refused)"}},
      {"\0"s, {"(refused)"}},                  // no names
      {"\0\0"s, {"(refused)"}},
      {""s, {"(refused)"}},
      {"a.wav\0"s, {"(refused)"}},             // no closing NUL
      {"a.wav"s, {"(refused)"}},               // no NUL at all
      {"a.wav\0\0b.wav\0\0"s, {"(refused)"}},  // bytes after the closing NUL
      {"a.wav\0\0\0"s, {"(refused)"}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    EXPECT_EQ(c.names, Read(c.bytes));
  }
  EXPECT_FALSE(ReadFileList(nullptr, 4, &names));
  EXPECT_EQ(0, names.count);
  EXPECT_EQ(nullptr, FileListName(&names, 0));
}

TEST_F(FileListTest, NoMoreNamesThanTheMusicListHolds) {
  std::string full;
  for (int i = 0; i < FILE_LIST_NAMES; i++) full += "n\0"s;
  EXPECT_EQ(static_cast<size_t>(FILE_LIST_NAMES), Read(full + "\0"s).size());
  EXPECT_EQ(std::vector<std::string>{"(refused)"}, Read(full + "n\0\0"s));
}

TEST_F(FileListTest, WhatAStartBuildsReadsBack) {
  const std::string at259(259, 'y'), at260(260, 'y');
  struct Case {
    const char *name;
    bool taken;
  } cases[] = {{"C:\\one.wav", true}, {"", false}, {at260.c_str(), false},
               {"Z:\\tmp\\with space\\two.wav", true}, {at259.c_str(), true}};
  std::vector<std::string> taken;
  for (const Case &c : cases) {
    EXPECT_EQ(c.taken, AppendToFileList(&list, c.name)) << c.name;
    if (c.taken) taken.push_back(c.name);
  }
  EXPECT_EQ(static_cast<int>(taken.size()), list.count);
  EXPECT_EQ(taken, Read(std::string(list.data, list.bytes)));
}

TEST_F(FileListTest, AFullListTakesNoMore) {
  for (int i = 0; i < FILE_LIST_NAMES; i++) ASSERT_TRUE(AppendToFileList(&list, "C:\\a.wav"));
  EXPECT_FALSE(AppendToFileList(&list, "C:\\b.wav"));
  EXPECT_EQ(FILE_LIST_NAMES, list.count);
  EXPECT_EQ(static_cast<size_t>(FILE_LIST_NAMES), Read(std::string(list.data, list.bytes)).size());
}

}  // namespace

namespace {

// Only a command line that names something after the program reads its arguments.
TEST(CommandLine, NamesArgumentsAfterTheProgram) {
  struct Case {
    const wchar_t *line;
    bool names;
  } cases[] = {
      {L"bramloe.exe", false},
      {L"bramloe.exe   \t", false},
      {L"\"C:\\Program Files\\bramloe.exe\"", false},
      {L"\"C:\\Program Files\\bramloe.exe\" ", false},
      {L"\"C:\\Program Files\\bramloe.exe\" C:\\a.wav", true},
      {L"\"C:\\Program Files\\bramloe.exe\" \"C:\\with space\\a.wav\"", true},
      {L"C:\\bramloe.exe C:\\a.wav", true},
      {L"C:\\bramloe.exe\tx", true},
      {L"\"unclosed quote a.wav", false},
      {L"", false},
      {nullptr, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.line ? std::wstring(c.line) : L"(null)"));
    EXPECT_EQ(c.names, NamesArguments(c.line));
  }
}

}  // namespace
